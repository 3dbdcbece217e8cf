#include <string>

#include <gtest/gtest.h>

#include "combat/duel.h"
#include "fighters.h"
#include "scripted_console.h"
#include "scripted_dice.h"

namespace zorvanty {
namespace {

using testing::makeFighter;
using testing::occurrences;
using testing::ScriptedConsole;

TEST(WatchedDuel, WaitsForAKeyBeforeEveryRoundAndNumbersEveryAttack)
{
    Fighter ork = makeFighter("Ork", 3, 2), elf = makeFighter("Elf", 2, 4);
    ScriptedConsole console;
    console.keys = std::string(10, ' ');
    // Ork hits (5+3 > 1+4); Elf misses (1+2 < 6+2); Ork's six, then a hit: a maim.
    ScriptedDice dice{{5, 1, 1, 6, 6, 1, 4, 1}};
    ConsoleNarration watched{console};
    EXPECT_EQ(playDuel(ork, elf, 2, dice, watched), 0);
    EXPECT_EQ(console.keysRead, 4);
    EXPECT_EQ(console.transcript,
              "RUNDA 1\n\nAtakuje Ork\n Atak:  5 + 3 = 8.\n Obrona:1 + 4 = 5.\nTrafia, Elf ma 1 hp.\n\n"
              "RUNDA 2\n\nAtakuje Elf\n Atak:  1 + 2 = 3.\n Obrona:6 + 2 = 8.\nNie trafia, Ork ma 2 hp.\n\n"
              "RUNDA 3\n\nAtakuje Ork\n Atak:  6 + 3 = 9.\n Obrona:1 + 4 = 5.\nTrafia krytycznie, Elf ma 0 hp.\n\n"
              "RUNDA 4\n\nAtakuje Ork\n Atak:  4 + 3 = 7.\n Obrona:1 + 4 = 5.\nTrafia i okalecza, Ork wygrywa.\n\n");
    EXPECT_TRUE(elf.maimed);
    EXPECT_EQ(ork.hp, 2);
}

TEST(WatchedDuel, TheTurnPassesOnlyAfterTheMissThatEndsAStreak)
{
    Fighter ork = makeFighter("Ork", 0, 0), elf = makeFighter("Elf", 0, 0);
    ScriptedConsole console;
    console.keys = std::string(10, ' ');
    // Ork: six, then a miss; Elf: two sixes in a row.
    ScriptedDice dice{{6, 1, 1, 1, 6, 1, 6, 1}};
    ConsoleNarration watched{console};
    EXPECT_EQ(playDuel(ork, elf, 2, dice, watched), 1);
    EXPECT_EQ(occurrences(console.transcript, "Atakuje Ork"), 2u);
    EXPECT_EQ(occurrences(console.transcript, "Atakuje Elf"), 2u);
    EXPECT_NE(console.transcript.find("Trafia krytycznie i zabija, Elf wygrywa."), std::string::npos);
    EXPECT_TRUE(ork.killed);
}

TEST(WatchedDuel, RoundNumbersShowTheirLowSixteenBits)
{
    // Nobody can hit but with a six; 65536 misses first.
    Fighter a = makeFighter("A", 0, 0), b = makeFighter("B", 0, 0);
    ScriptedDice dice;
    for (int i = 0; i < 65536; ++i) dice.faces.insert(dice.faces.end(), {1, 1});
    dice.faces.insert(dice.faces.end(), {6, 1, 6, 1});
    ScriptedConsole console;
    console.keys = std::string(65538, ' ');
    ConsoleNarration watched{console};
    EXPECT_EQ(playDuel(a, b, 2, dice, watched), 0);  // round 65537 is A's: it strikes twice
    EXPECT_EQ(occurrences(console.transcript, "RUNDA 65535\n"), 1u);
    EXPECT_EQ(occurrences(console.transcript, "RUNDA 0\n"), 1u);
    EXPECT_EQ(occurrences(console.transcript, "RUNDA 1\n"), 2u);
    EXPECT_EQ(occurrences(console.transcript, "RUNDA 2\n"), 2u);
    EXPECT_EQ(occurrences(console.transcript, "RUNDA 65536"), 0u);
}

TEST(Duel, StartsNonBossesAtStartHpAndClearsEveryFlag)
{
    Fighter challenger = makeFighter("C", 0, 0, 7), boss = makeFighter("B", 0, 0, 3, true);
    challenger.killed = boss.maimed = boss.killed = true;
    ScriptedDice dice{{1, 1, 6, 1}};  // the challenger misses, the boss's first six kills
    SilentNarration silent;
    EXPECT_EQ(playDuel(challenger, boss, 1, dice, silent), 1);
    EXPECT_EQ(boss.hp, 3);
    EXPECT_FALSE(boss.killed || boss.maimed);
    EXPECT_TRUE(challenger.killed);
}

struct Pair {
    std::uint16_t attackOne, defenseOne, attackTwo, defenseTwo, startHp;
};

class ManyDuels : public ::testing::TestWithParam<Pair> {};

// Whatever the dice, a duel leaves the loser at 0 with at most one flag and the winner
// with hit points and no flag; and the silent manner plays exactly the watched one.
TEST_P(ManyDuels, LeaveTheRecordsAsADuelMust)
{
    const Pair& p = GetParam();
    Fighter one = makeFighter("Jeden", p.attackOne, p.defenseOne), two = makeFighter("Dwa", p.attackTwo, p.defenseTwo);
    Fighter watchedOne = one, watchedTwo = two;
    Lcg dice{20261211}, watchedDice{20261211};
    ScriptedConsole console;
    for (int duel = 0; duel < 300; ++duel) {
        const std::uint8_t winner = runDuel(one, two, p.startHp, dice);
        console.keys = std::string(1000, ' ');
        console.transcript.clear();
        EXPECT_EQ(runDuel(watchedOne, watchedTwo, p.startHp, watchedDice, console), winner);
        ASSERT_EQ(dice.state, watchedDice.state);
        const Fighter& won = winner == 0 ? one : two;
        const Fighter& lost = winner == 0 ? two : one;
        EXPECT_EQ(lost.hp, 0);
        EXPECT_FALSE(lost.killed && lost.maimed);
        EXPECT_GE(won.hp, 1);
        EXPECT_LE(won.hp, p.startHp);
        EXPECT_FALSE(won.killed || won.maimed);
        EXPECT_EQ(watchedOne.hp, one.hp);
        EXPECT_EQ(watchedTwo.killed, two.killed);
        EXPECT_EQ(watchedTwo.maimed, two.maimed);
        EXPECT_EQ(static_cast<int>(console.keysRead), static_cast<int>(occurrences(console.transcript, "RUNDA ")));
        console.keysRead = 0;
    }
}

INSTANTIATE_TEST_SUITE_P(Fighters, ManyDuels,
                         ::testing::Values(Pair{3, 2, 2, 4, 2}, Pair{3, 2, 2, 4, 3}, Pair{0, 0, 0, 0, 1},
                                           Pair{0, 60000, 0, 60000, 3},  // only sixes ever hit
                                           Pair{65535, 0, 0, 0, 2}));   // wraps below every defense

TEST(Dice, TheFirstAttackSeededWithOneRollsThreeAgainstFive)
{
    Fighter ork = makeFighter("Ork", 0, 0), elf = makeFighter("Elf", 0, 0);
    Lcg dice{1};
    ScriptedConsole console;
    console.keys = std::string(100, ' ');
    runDuel(ork, elf, 2, dice, console);
    EXPECT_EQ(console.transcript.rfind("RUNDA 1\n\nAtakuje Ork\n Atak:  3 + 0 = 3.\n Obrona:5 + 0 = 5.\n", 0), 0u);
}

}  // namespace
}  // namespace zorvanty
