#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "console/format.h"
#include "scripted_console.h"

namespace zorvanty {
namespace {

using testing::ScriptedConsole;

std::string threeDecimals(double value)
{
    char out[32];
    return std::string(out, formatThreeDecimals(value, out));
}

struct DecimalCase {
    double value;
    const char* shown;
};

class ThreeDecimals : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ThreeDecimals, RoundsExactHalvesAwayFromZeroAndEverythingElseToNearest)
{
    EXPECT_EQ(threeDecimals(GetParam().value), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, ThreeDecimals,
    ::testing::Values(DecimalCase{0.3125, "0.313"},        // 1 of 320: a tie the C library rounds to even
                      DecimalCase{-0.3125, "-0.313"},
                      DecimalCase{0.0625, "0.063"},
                      DecimalCase{2.5e-4 * 5, "0.001"},    // 1.25e-3 is not exact in binary: no tie
                      DecimalCase{99.9995, "99.999"},      // just below the half in binary
                      DecimalCase{2.0005, "2.001"},        // just above the half in binary
                      DecimalCase{99.9375, "99.938"},      // 1599/16: a tie
                      DecimalCase{0.1875, "0.188"},        // 3/16: a tie that rounds up either way
                      DecimalCase{60.0, "60.000"}, DecimalCase{100.0, "100.000"}, DecimalCase{0.0, "0.000"},
                      DecimalCase{99.99951, "100.000"},    // carries into the whole part
                      DecimalCase{12.3456789, "12.346"},
                      DecimalCase{-std::numeric_limits<double>::quiet_NaN(), "-nan"},
                      DecimalCase{std::numeric_limits<double>::quiet_NaN(), "nan"}));

TEST(WriteText, InsertsValuesOfEveryKind)
{
    ScriptedConsole console;
    const char name[] = "Ork";
    writeText(console, "%s:%hu:%lu:%0.3f%%|", name, std::uint16_t{65535}, std::uint32_t{4294967295u}, 0.5);
    EXPECT_EQ(console.transcript, "Ork:65535:4294967295:0.500%|");
}

TEST(WriteText, ShowsATypedNameWithPercentSignsAsTyped)
{
    ScriptedConsole console;
    const char name[] = "100%s %hu %n";
    writeText(console, "Atakuje %s\n", name);
    EXPECT_EQ(console.transcript, "Atakuje 100%s %hu %n\n");
}

TEST(WriteText, PassesLongTextWhole)
{
    ScriptedConsole console;
    const std::string longName(3000, 'x');
    writeText(console, "<%s>", longName.c_str());
    EXPECT_EQ(console.transcript, "<" + longName + ">");
}

TEST(WriteText, KeepsTheHeartByteAsItIs)
{
    ScriptedConsole console;
    writeText(console, " A - Walka - 2\x03\x03\n");
    EXPECT_EQ(console.transcript, std::string(" A - Walka - 2\x03\x03\n"));
}

}  // namespace
}  // namespace zorvanty
