#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/input_buffer.h"
#include "scripted_console.h"

namespace zorvanty {
namespace {

using testing::ScriptedInput;

// Reads `reads` lines from the typed chunks, starting from a buffer that holds "old".
// A read that gets nothing shows as "old" (or whatever the buffer last held).
std::vector<std::string> linesRead(const std::vector<std::string>& chunks, int reads)
{
    ScriptedInput source;
    for (const auto& chunk : chunks) source.push(chunk);
    InputBuffer input;
    LineBuffer line = "old";
    std::vector<std::string> lines;
    for (int i = 0; i < reads; ++i) {
        takeLine(input, source, line);
        lines.emplace_back(line);
    }
    return lines;
}

const std::string letters255(255, 'x');

struct LineCase {
    const char* what;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
};

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, TakeLinesAsTheGameReadsThem)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(linesRead(c.chunks, static_cast<int>(c.lines.size())), c.lines) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineRules,
    ::testing::Values(
        LineCase{"a plain line keeps its line end", {"Ork\n"}, {"Ork\n"}},
        LineCase{"two lines in one read", {"Ork\nElf\n"}, {"Ork\n", "Elf\n"}},
        LineCase{"a line in two reads", {"Or", "k\n"}, {"Ork\n"}},
        LineCase{"255 characters and Enter", {letters255 + "\n"}, {letters255, "\n"}},
        LineCase{"a longer line leaves its rest", {letters255 + "yz\n"}, {letters255, "yz\n"}},
        LineCase{"carriage returns are skipped", {"a\r\nb\rc\r\n"}, {"a\n", "bc\n"}},
        LineCase{"Ctrl-Z in mid-line ends the read", {"ab\x1A" "cd\n"}, {"ab", "cd\n"}},
        LineCase{"end of input with nothing read keeps the buffer", {""}, {"old"}},
        LineCase{"end of input is not remembered", {"", "Elf\n"}, {"old", "Elf\n"}},
        LineCase{"a lone Ctrl-Z keeps the buffer", {"\x1A", "x\n"}, {"old", "x\n"}},
        LineCase{"a last line without its end", {"x", ""}, {"x"}},
        LineCase{"carriage returns alone read nothing", {"\r\r", ""}, {"old"}},
        LineCase{"a zero byte is kept and ends the text", {std::string("\0ab\n", 4)}, {""}}));

TEST(LineRules, CutLineIsNotCountedAsEmpty)
{
    // After a 255-character line the next read gets the lone line end: a length of 1.
    const auto lines = linesRead({letters255 + "\n" + "next\n"}, 3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 255u);
    EXPECT_EQ(lines[1], "\n");
    EXPECT_EQ(lines[2], "next\n");
}

TEST(TakeByte, HandsOutBytesOneByOneAcrossReads)
{
    ScriptedInput source;
    source.push("ab");
    source.push("c");
    source.push("");
    InputBuffer input;
    std::string keys;
    std::uint8_t byte = 0;
    while (takeByte(input, source, byte)) keys.push_back(static_cast<char>(byte));
    EXPECT_EQ(keys, "abc");
}

TEST(TakeByte, SharesTheReadAheadWithLines)
{
    ScriptedInput source;
    source.push("eOrk\nx");
    InputBuffer input;
    std::uint8_t key = 0;
    LineBuffer line{};
    ASSERT_TRUE(takeByte(input, source, key));
    EXPECT_EQ(key, 'e');
    ASSERT_TRUE(takeLine(input, source, line));
    EXPECT_STREQ(line, "Ork\n");
    EXPECT_EQ(pendingBytes(input), 1u);
    dropPending(input);
    EXPECT_EQ(pendingBytes(input), 0u);
}

}  // namespace
}  // namespace zorvanty
