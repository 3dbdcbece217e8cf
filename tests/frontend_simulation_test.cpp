#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "combat/attack.h"
#include "combat/duel.h"
#include "frontend/simulation.h"
#include "frontend/tally.h"
#include "game_fixture.h"
#include "scripted_dice.h"

namespace zorvanty {
namespace {

using testing::GameFixture;
using testing::makeFighter;
using testing::occurrences;
using testing::ScriptedConsole;
using testing::titleAndMenu;

std::string report(const SimTally& tally, std::uint32_t duels)
{
    ScriptedConsole console;
    writeReport(console, tally, duels);
    return console.transcript;
}

TEST(Report, GivesEveryFigureAsAShareOfAllDuels)
{
    EXPECT_EQ(report(SimTally{120, 20, 30, 80, 10, 16}, 200),
              "\n\nGracz 1 wygrywa 60.000%, w tym 10.000% zabija, a 15.000% okalecza.\n"
              "Gracz 2 wygrywa 40.000%, w tym 5.000% zabija, a 8.000% okalecza.\n"
              "Zabicia: 15.000%, okaleczenia: 23.000%\n\n");
}

TEST(Report, RoundsAnExactHalfAwayFromZero)
{
    // One kill in 320 duels is exactly 0.3125 percent.
    EXPECT_EQ(report(SimTally{1, 1, 0, 319, 0, 0}, 320),
              "\n\nGracz 1 wygrywa 0.313%, w tym 0.313% zabija, a 0.000% okalecza.\n"
              "Gracz 2 wygrywa 99.688%, w tym 0.000% zabija, a 0.000% okalecza.\n"
              "Zabicia: 0.313%, okaleczenia: 0.000%\n\n");
}

TEST(Report, WithNoDuelsShowsEveryFigureAsMinusNan)
{
    EXPECT_EQ(report(SimTally{}, 0),
              "\n\nGracz 1 wygrywa -nan%, w tym -nan% zabija, a -nan% okalecza.\n"
              "Gracz 2 wygrywa -nan%, w tym -nan% zabija, a -nan% okalecza.\n"
              "Zabicia: -nan%, okaleczenia: -nan%\n\n");
    EXPECT_TRUE(std::isnan(percentOf(0, 0)) && std::signbit(percentOf(0, 0)));
}

TEST(Report, FormsTheProductBeforeTheQuotient)
{
    // 4294967295 of 4294967295 is exactly 100; so is the largest tally's product.
    EXPECT_EQ(percentOf(4294967295u, 4294967295u), 100.0);
    EXPECT_EQ(percentOf(1, 3), 100.0 / 3.0);
}

struct DotCase {
    std::uint32_t duels;
    std::size_t dots;
};

class ProgressDots : public ::testing::TestWithParam<DotCase> {};

TEST_P(ProgressDots, ComeOncePer65536Duels)
{
    Fighter one = makeFighter("", 3, 2), two = makeFighter("", 2, 4);
    Lcg dice{7};
    ScriptedConsole console;
    const SimTally tally = simulateDuels(one, two, 2, GetParam().duels, dice, console);
    EXPECT_EQ(console.transcript, std::string(GetParam().dots, '.'));
    EXPECT_EQ(tally.winsOne + tally.winsTwo, GetParam().duels);
}

INSTANTIATE_TEST_SUITE_P(Counts, ProgressDots,
                         ::testing::Values(DotCase{0, 0}, DotCase{1, 0}, DotCase{65535, 0}, DotCase{65536, 1},
                                           DotCase{131071, 1}, DotCase{131072, 2}));

TEST(Simulation, CountsEveryDuelByItsWinnerAndManner)
{
    Fighter one = makeFighter("", 3, 2), two = makeFighter("", 2, 4);
    Lcg dice{99}, replay{99};
    ScriptedConsole console;
    const SimTally tally = simulateDuels(one, two, 3, 5000, dice, console);
    SimTally expected{};
    Fighter a = makeFighter("", 3, 2), b = makeFighter("", 2, 4);
    for (int i = 0; i < 5000; ++i) {
        const auto winner = runDuel(a, b, 3, replay);
        const Fighter& loser = winner == 0 ? b : a;
        (winner == 0 ? expected.winsOne : expected.winsTwo) += 1;
        (winner == 0 ? expected.killsOne : expected.killsTwo) += loser.killed;
        (winner == 0 ? expected.maimsOne : expected.maimsTwo) += loser.maimed;
    }
    EXPECT_EQ(tally, expected);
    EXPECT_EQ(dice.state, replay.state);
    EXPECT_LE(tally.killsOne + tally.maimsOne, tally.winsOne);
    EXPECT_GT(tally.killsOne, 0u);
    EXPECT_GT(tally.maimsTwo, 0u);
}

using SimulationGame = GameFixture;

TEST_F(SimulationGame, AsksForTheCountAndTheNumbersButNoNames)
{
    std::strcpy(game.fighterOne.name, "Ork");
    console.keys = "e" + std::string(" ") + "n";
    console.type("1000\n3\n2\n2\n4\n");
    const Lcg seeded = dice;
    ASSERT_TRUE(play());

    Fighter one = makeFighter("", 3, 2), two = makeFighter("", 2, 4);
    Lcg expectedDice = seeded;
    ScriptedConsole progress;
    const SimTally tally = simulateDuels(one, two, 2, 1000, expectedDice, progress);
    EXPECT_EQ(console.transcript, titleAndMenu + "\nliczba symulacji: " +
                                      "\nGracz1:\natak:  obrona:\nGracz2:\natak:  obrona:\n" +
                                      "\nSYMULACJA:" + report(tally, 1000) + "Jeszcze raz? (T/N)");
    EXPECT_STREQ(game.fighterOne.name, "Ork");
    EXPECT_EQ(dice.state, expectedDice.state);
    EXPECT_EQ(console.keysRead, 3);  // menu, after the report, the replay
}

TEST_F(SimulationGame, ANegativeCountWrapsToAHugeOne)
{
    console.type("-1\n");
    EXPECT_EQ(askDuelCount(game), 4294967295u);
    console.type("  12 duels\n");
    EXPECT_EQ(askDuelCount(game), 12u);
}

TEST_F(SimulationGame, LeavesTheDiceWhereTheNextDuelGoesOn)
{
    console.keys = "f" + std::string(" t") + "a" + std::string(500, ' ') + "n";
    console.type("777\n1\n1\n1\n1\n");
    console.type("Ork\n1\n1\nElf\n1\n1\n");
    const Lcg seeded = dice;
    ASSERT_TRUE(play());

    Lcg expectedDice = seeded;
    Fighter one = makeFighter("", 1, 1), two = makeFighter("", 1, 1);
    ScriptedConsole progress;
    simulateDuels(one, two, 3, 777, expectedDice, progress);
    runDuel(one, two, 2, expectedDice);
    EXPECT_EQ(dice.state, expectedDice.state);
}

// ---- The odds of a duel, worked out exactly, against a large simulation ----

// The chance of each face: 32768 draws, 5462 of them showing 1 or 2, 5461 each other face.
double faceChance(int face) { return (face <= 2 ? 5462.0 : 5461.0) / 32768.0; }

struct Odds {
    double winsOne, killsOne, maimsOne, winsTwo, killsTwo, maimsTwo;
};

// The chances of every outcome from the start of a duel, by iterating over the states
// between attacks (hit points, whose turn, critical streak). Each step is played by the
// engine's own attack on fixed dice, so the rules come from one place.
Odds exactOdds(std::uint16_t attackOne, std::uint16_t defenseOne, std::uint16_t attackTwo, std::uint16_t defenseTwo,
               std::uint16_t startHp)
{
    using State = std::tuple<int, int, int, int>;  // hp one, hp two, turn, streak
    std::map<State, Odds> value;
    for (int sweep = 0; sweep < 400; ++sweep) {
        std::map<State, Odds> next;
        for (int hpOne = 0; hpOne <= startHp; ++hpOne)
            for (int hpTwo = 0; hpTwo <= startHp; ++hpTwo)
                for (int turn = 0; turn < 2; ++turn)
                    for (int streak = 0; streak < 2; ++streak) {
                        Odds odds{};
                        for (int a = 1; a <= 6; ++a)
                            for (int d = 1; d <= 6; ++d) {
                                Fighter one = makeFighter("", attackOne, defenseOne, static_cast<std::uint16_t>(hpOne));
                                Fighter two = makeFighter("", attackTwo, defenseTwo, static_cast<std::uint16_t>(hpTwo));
                                auto crit = static_cast<std::uint8_t>(streak);
                                ScriptedDice dice{{static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(d)}};
                                SilentNarration silent;
                                Fighter& attacker = turn == 0 ? one : two;
                                Fighter& defender = turn == 0 ? two : one;
                                const bool over = resolveAttack(attacker, defender, crit, dice, silent);
                                const double p = faceChance(a) * faceChance(d);
                                if (over) {
                                    (turn == 0 ? odds.winsOne : odds.winsTwo) += p;
                                    (turn == 0 ? odds.killsOne : odds.killsTwo) += p * defender.killed;
                                    (turn == 0 ? odds.maimsOne : odds.maimsTwo) += p * defender.maimed;
                                    continue;
                                }
                                const int nextTurn = crit == 0 ? 1 - turn : turn;
                                const Odds& later = value[State{one.hp, two.hp, nextTurn, crit}];
                                odds.winsOne += p * later.winsOne;
                                odds.killsOne += p * later.killsOne;
                                odds.maimsOne += p * later.maimsOne;
                                odds.winsTwo += p * later.winsTwo;
                                odds.killsTwo += p * later.killsTwo;
                                odds.maimsTwo += p * later.maimsTwo;
                            }
                        next[State{hpOne, hpTwo, turn, streak}] = odds;
                    }
        value = next;
    }
    return value[State{startHp, startHp, 0, 0}];
}

struct OddsCase {
    std::uint16_t attackOne, defenseOne, attackTwo, defenseTwo, startHp;
};

class LargeSimulation : public ::testing::TestWithParam<OddsCase> {};

TEST_P(LargeSimulation, MatchesTheExactOddsOfTheDuel)
{
    const OddsCase& c = GetParam();
    const Odds odds = exactOdds(c.attackOne, c.defenseOne, c.attackTwo, c.defenseTwo, c.startHp);
    EXPECT_NEAR(odds.winsOne + odds.winsTwo, 1.0, 1e-9);

    constexpr std::uint32_t duels = 400000;
    Fighter one = makeFighter("", c.attackOne, c.defenseOne), two = makeFighter("", c.attackTwo, c.defenseTwo);
    Lcg dice{20261211};
    ScriptedConsole progress;
    const SimTally tally = simulateDuels(one, two, c.startHp, duels, dice, progress);
    // Six standard deviations of a share of 400000 duels: a correct simulator stays inside.
    const auto near = [&](std::uint32_t count, double chance, const char* what) {
        const double sigma = std::sqrt(chance * (1 - chance) / duels);
        EXPECT_NEAR(count / double{duels}, chance, 6 * sigma + 1e-9) << what;
    };
    near(tally.winsOne, odds.winsOne, "wins of one");
    near(tally.killsOne, odds.killsOne, "kills of one");
    near(tally.maimsOne, odds.maimsOne, "maims of one");
    near(tally.winsTwo, odds.winsTwo, "wins of two");
    near(tally.killsTwo, odds.killsTwo, "kills of two");
    near(tally.maimsTwo, odds.maimsTwo, "maims of two");
}

INSTANTIATE_TEST_SUITE_P(Fighters, LargeSimulation,
                         ::testing::Values(OddsCase{3, 2, 2, 4, 2}, OddsCase{3, 2, 2, 4, 3},
                                           OddsCase{0, 100, 100, 0, 2}));  // one side wins only by sixes

}  // namespace
}  // namespace zorvanty
