// decodeKey: what a keystroke's bytes become, how many of them it takes, and how long it
// waits for more.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/keys.h"

namespace zorvanty {
namespace {

// The bytes a terminal sends; -1 once they are used up, as when nothing comes in time.
struct ByteFeed {
    std::string bytes;
    std::size_t taken = 1;  // the first byte is handed to decodeKey directly
    std::vector<int> waits;

    int operator()(int waitMs)
    {
        waits.push_back(waitMs);
        if (taken >= bytes.size()) return -1;
        return static_cast<unsigned char>(bytes[taken++]);
    }
};

std::string hex(const std::string& bytes)
{
    std::string out;
    for (const char c : bytes) {
        static constexpr char digits[] = "0123456789ABCDEF";
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

struct Decoded {
    std::uint8_t key;
    int leftover;
    std::size_t taken;  // bytes of the feed used, the first included
    std::vector<int> waits;
};

Decoded decode(const std::string& bytes)
{
    ByteFeed feed{bytes, 1, {}};
    int leftover = 99;
    const std::uint8_t key = decodeKey(static_cast<std::uint8_t>(bytes[0]), feed, leftover);
    return {key, leftover, feed.taken, feed.waits};
}

struct KeyCase {
    const char* what;
    std::string bytes;
    std::uint8_t key;
    int leftover;
    std::size_t taken;
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.what << " (" << hex(c.bytes) << ")"; }

class DecodeKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DecodeKey, TakesOneWholeKeystroke)
{
    const KeyCase& c = GetParam();
    const Decoded d = decode(c.bytes);
    EXPECT_EQ(d.key, c.key) << c.what << ": " << hex(c.bytes);
    EXPECT_EQ(d.leftover, c.leftover) << c.what;
    EXPECT_EQ(d.taken, c.taken) << c.what << ": bytes taken of " << hex(c.bytes);
}

// Bytes after the keystroke's own (here "z") must stay unread for the next key, unless a
// broken keystroke had to read one to see it end.
INSTANTIATE_TEST_SUITE_P(
    Keystrokes, DecodeKey,
    ::testing::Values(
        KeyCase{"cursor up", "\x1b[Az", keyWithoutCharacter, -1, 3},
        KeyCase{"End (xterm)", "\x1b[Fz", keyWithoutCharacter, -1, 3},
        KeyCase{"End (application mode)", "\x1bOFz", keyWithoutCharacter, -1, 3},
        KeyCase{"F1", "\x1bOPz", keyWithoutCharacter, -1, 3},
        KeyCase{"F7", "\x1b[18~z", keyWithoutCharacter, -1, 5},
        KeyCase{"Ctrl-Right", "\x1b[1;5Cz", keyWithoutCharacter, -1, 6},
        KeyCase{"Shift-F1 (SS3 with a modifier)", "\x1bO2Pz", keyWithoutCharacter, -1, 4},
        KeyCase{"F1 of the Linux console", "\x1b[[Az", keyWithoutCharacter, -1, 4},
        KeyCase{"Alt with the up arrow", "\x1b\x1b[Az", keyWithoutCharacter, -1, 4},
        KeyCase{"Shift-Insert of rxvt", "\x1b[2$z", keyWithoutCharacter, -1, 4},
        KeyCase{"Alt-x", "\x1bxz", keyWithoutCharacter, -1, 2},
        KeyCase{"Alt with a Polish letter", "\x1b\xC4\x85z", keyWithoutCharacter, -1, 3},
        KeyCase{"Escape alone", "\x1b", keyEscape, -1, 1},
        KeyCase{"Escape twice", "\x1b\x1b", keyEscape, keyEscape, 2},
        KeyCase{"a sequence cut short", "\x1b[1", keyWithoutCharacter, -1, 3},
        KeyCase{"a sequence broken by a new Escape", "\x1b[1\x1b", keyWithoutCharacter, keyEscape, 4},
        KeyCase{"a two-byte letter", "\xC4\x85z", 0xC4, -1, 2},
        KeyCase{"a three-byte character", "\xE2\x82\xACz", 0xE2, -1, 3},
        KeyCase{"a four-byte character", "\xF0\x9F\x98\x80z", 0xF0, -1, 4},
        KeyCase{"a letter missing its second byte", "\xC4", 0xC4, -1, 1},
        KeyCase{"a letter whose second byte is a new key", "\xC4z", 0xC4, 'z', 2},
        KeyCase{"a stray continuation byte", "\x85z", 0x85, -1, 1},
        KeyCase{"a byte that leads no character", "\xFFz", 0xFF, -1, 1}));

TEST(DecodeKeyPlainBytes, EveryPlainByteIsItselfAndWaitsForNothing)
{
    for (int byte = 0; byte < 0x80; ++byte) {
        if (byte == keyEscape) continue;
        const Decoded d = decode(std::string(1, static_cast<char>(byte)) + "z");
        EXPECT_EQ(d.key, byte);
        EXPECT_EQ(d.leftover, -1) << "byte " << byte;
        EXPECT_TRUE(d.waits.empty()) << "byte " << byte << " asked for more bytes";
    }
}

TEST(DecodeKeyWaits, EscapeAloneIsToldFromASequenceByTheShortWait)
{
    const Decoded alone = decode("\x1b");
    EXPECT_EQ(alone.waits, std::vector<int>{escapeWaitMs});

    const Decoded arrow = decode("\x1b[A");
    ASSERT_EQ(arrow.waits.size(), 2u);
    EXPECT_EQ(arrow.waits[0], escapeWaitMs);
    EXPECT_EQ(arrow.waits[1], sequenceWaitMs);
    EXPECT_LT(escapeWaitMs, sequenceWaitMs);
}

}  // namespace
}  // namespace zorvanty
