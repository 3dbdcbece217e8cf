#include <string>

#include <gtest/gtest.h>

#include "frontend/entry.h"
#include "game_fixture.h"

namespace zorvanty {
namespace {

using testing::GameFixture;

struct NumberCase {
    const char* typed;
    std::int32_t value;
};

class ParseNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumber, ReadsAsTheGameDoes)
{
    EXPECT_EQ(parseNumber(GetParam().typed), GetParam().value) << '"' << GetParam().typed << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ParseNumber,
    ::testing::Values(NumberCase{"  -12abc", -12}, NumberCase{"+7", 7}, NumberCase{"- 5", 0}, NumberCase{"", 0},
                      NumberCase{"\n", 0}, NumberCase{"3\n", 3}, NumberCase{"\t\v\f\r 42", 42},
                      NumberCase{"abc", 0}, NumberCase{"--1", 0}, NumberCase{"12 34", 12},
                      NumberCase{"2147483647", 2147483647}, NumberCase{"2147483648", -2147483647 - 1},
                      NumberCase{"4294967297", 1},  // wraps at 32 bits
                      NumberCase{"-1", -1}));

using AskName = GameFixture;

TEST_F(AskName, ReturnsTheLengthWithTheLineEndAndRemovesIt)
{
    console.type("O\n\n");
    EXPECT_EQ(askName(game, game.fighterOne), 2u);
    EXPECT_STREQ(game.fighterOne.name, "O");
    EXPECT_EQ(askName(game, game.fighterOne), 1u);
    EXPECT_STREQ(game.fighterOne.name, "");
    EXPECT_EQ(console.transcript, "nazwa: nazwa: ");
}

TEST_F(AskName, KeepsAllOf255CharactersAndLeavesTheLineEndToTheNextPrompt)
{
    const std::string name(255, 'N');
    console.type(name + "\n7\n");
    askFighter(game, game.fighterOne, true);
    EXPECT_EQ(game.fighterOne.name, name);
    EXPECT_EQ(game.fighterOne.attack, 0);  // "atak:  " took the lone line end
    EXPECT_EQ(game.fighterOne.defense, 7);
    EXPECT_EQ(console.transcript, "nazwa: atak:  obrona:");
}

TEST_F(AskName, KeepsTheOldNameWhenNothingCanBeRead)
{
    console.type("Ork\n");
    console.type("");
    askName(game, game.fighterOne);
    askName(game, game.fighterOne);
    EXPECT_STREQ(game.fighterOne.name, "Ork");
}

TEST_F(AskName, ALastLineWithoutItsEndStaysWhole)
{
    console.type("x");
    console.type("");
    EXPECT_EQ(askName(game, game.fighterOne), 1u);
    EXPECT_STREQ(game.fighterOne.name, "x");
}

using AskFighter = GameFixture;

TEST_F(AskFighter, KeepsTheLowSixteenBitsOfEachNumber)
{
    console.type("-1\n65537\n");
    askFighter(game, game.fighterTwo, false);
    EXPECT_EQ(game.fighterTwo.attack, 65535);
    EXPECT_EQ(game.fighterTwo.defense, 1);
    EXPECT_EQ(console.transcript, "atak:  obrona:");
}

}  // namespace
}  // namespace zorvanty
