#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "combat/dice.h"
#include "fighters.h"
#include "frontend/dice_pairs.h"
#include "frontend/fast_tally.h"
#include "frontend/tally.h"
#include "scripted_console.h"

namespace zorvanty {
namespace {

using testing::makeFighter;
using testing::ScriptedConsole;

// Two fighters' attack and defense values.
struct Matchup {
    const char* label;
    std::uint16_t attackOne, defenseOne, attackTwo, defenseTwo;
};

constexpr Matchup even{"even", 3, 3, 3, 3};
constexpr Matchup favoured{"favoured", 5, 2, 1, 4};
// `one` never beats 10 + a die: it wins only by critical hits, and `two` always hits.
constexpr Matchup critsOnly{"critsOnly", 0, 0, 10, 10};
// Nobody beats a defense of 100: every duel is decided by critical hits alone.
constexpr Matchup walls{"walls", 0, 100, 0, 100};
// 65535 plus a die wraps to the die less one; a defense of 65535 likewise.
constexpr Matchup wrapped{"wrapped", 65535, 65535, 2, 0};
// 65533 plus 3 or more wraps past zero, so the die that helps most hurts most.
constexpr Matchup halfWrapped{"halfWrapped", 4, 65533, 65534, 2};

// Everything a run of the simulator leaves behind.
struct RunResult {
    SimTally tally;
    std::uint32_t diceState;
    std::string written;  // what went to the console: the dots
    std::uint16_t hpOne, hpTwo;
    bool killedOne, maimedOne, killedTwo, maimedTwo;
    friend bool operator==(const RunResult&, const RunResult&) = default;
};

void PrintTo(const RunResult& r, std::ostream* out)
{
    const SimTally& t = r.tally;
    *out << "{tally " << t.winsOne << '/' << t.killsOne << '/' << t.maimsOne << ' ' << t.winsTwo << '/'
         << t.killsTwo << '/' << t.maimsTwo << ", dice " << r.diceState << ", " << r.written.size()
         << " bytes written (" << std::count(r.written.begin(), r.written.end(), '.') << " dots), hp " << r.hpOne
         << '/' << r.hpTwo << ", flags " << r.killedOne << r.maimedOne << r.killedTwo << r.maimedTwo << '}';
}

struct RunCase {
    Matchup matchup;
    std::uint16_t startHp;
    std::uint32_t seed;
    std::uint32_t duels;
};

void PrintTo(const RunCase& c, std::ostream* out)
{
    *out << c.matchup.label << " hp " << c.startHp << " seed " << c.seed << " duels " << c.duels;
}

enum class Simulator { reference, fast, fastWithoutReuse };

RunResult run(Simulator simulator, const RunCase& c, FastTallyTrace* trace = nullptr)
{
    // The records come from an earlier game: whatever they hold must not matter.
    Fighter one = makeFighter("Gracz1", c.matchup.attackOne, c.matchup.defenseOne, 7);
    Fighter two = makeFighter("Gracz2", c.matchup.attackTwo, c.matchup.defenseTwo, 1);
    one.killed = true;
    two.maimed = true;
    Lcg dice{c.seed};
    ScriptedConsole console;
    SimTally tally{};
    switch (simulator) {
    case Simulator::reference: tally = simulateDuels(one, two, c.startHp, c.duels, dice, console); break;
    case Simulator::fast: tally = simulateDuelsFast(one, two, c.startHp, c.duels, dice, console, {true, trace}); break;
    case Simulator::fastWithoutReuse:
        tally = simulateDuelsFast(one, two, c.startHp, c.duels, dice, console, {false, trace});
        break;
    }
    return {tally,      dice.state,  console.transcript, one.hp,   two.hp,
            one.killed, one.maimed, two.killed,          two.maimed};
}

// ---------------------------------------------------------------------------------------
// Within the first round of the dice: the fast simulator against the straightforward loop.

class FastTallyAgainstReference : public ::testing::TestWithParam<RunCase> {};

TEST_P(FastTallyAgainstReference, LeavesExactlyWhatTheStraightforwardLoopLeaves)
{
    FastTallyTrace trace;
    const RunResult fast = run(Simulator::fast, GetParam(), &trace);
    EXPECT_TRUE(trace.tabled) << "the game's fighters must take the fast way";
    EXPECT_EQ(fast, run(Simulator::reference, GetParam()));
}

// A block of dice is 16384 attacks, a lane of it 2048; a duel takes 3 to 20 attacks, so
// small counts end inside the first lane, a few thousand duels cross lanes and blocks.
INSTANTIATE_TEST_SUITE_P(
    Runs, FastTallyAgainstReference,
    ::testing::Values(
        RunCase{even, 2, 1, 0}, RunCase{even, 2, 1, 1}, RunCase{even, 2, 1, 2}, RunCase{even, 3, 1, 3},
        RunCase{even, 2, 0, 17}, RunCase{even, 2, 0xFFFFFFFFu, 341}, RunCase{even, 3, 0x80000000u, 2730},
        RunCase{even, 2, 12345, 65535}, RunCase{even, 2, 12345, 65536}, RunCase{even, 3, 12345, 65537},
        RunCase{even, 2, 99, 131072}, RunCase{even, 1, 7, 250001}, RunCase{even, 3, 2024, 1000003},
        RunCase{favoured, 2, 1, 5}, RunCase{favoured, 2, 31337, 4099}, RunCase{favoured, 3, 5, 196608},
        RunCase{favoured, 1, 0xDEADBEEFu, 77777}, RunCase{favoured, 2, 424242, 2000000},
        RunCase{critsOnly, 2, 1, 9}, RunCase{critsOnly, 3, 3, 65536}, RunCase{critsOnly, 2, 0xFFFFFFFFu, 300007},
        RunCase{critsOnly, 1, 8, 12288}, RunCase{walls, 2, 1, 1}, RunCase{walls, 3, 11, 40000},
        RunCase{walls, 2, 0x7FFFFFFFu, 131071}, RunCase{wrapped, 2, 1, 3}, RunCase{wrapped, 3, 6, 65536},
        RunCase{wrapped, 2, 0xFFFF0000u, 500000}, RunCase{halfWrapped, 2, 2, 1234},
        RunCase{halfWrapped, 3, 0xCAFEu, 262145}, RunCase{halfWrapped, 1, 13, 99999},
        RunCase{even, 4, 1, 30000}, RunCase{critsOnly, 5, 21, 20000}));

// A boss keeps its hit points from duel to duel, so its duels are no fixed table: the fast
// simulator hands such a run to the straightforward loop. A start with no hit points, or
// more than the table holds, goes the same way.
TEST(FastTallyFallBack, BossesAndOddStartsGetTheStraightforwardLoop)
{
    struct Odd {
        const char* label;
        std::uint16_t startHp;
        bool bossOne, bossTwo;
        std::uint16_t bossHp;
    };
    for (const Odd odd : {Odd{"boss second", 1, false, true, 3}, Odd{"boss first", 1, true, false, 2},
                          Odd{"no hit points", 0, false, false, 0}, Odd{"a hundred hit points", 100, false, false, 0}}) {
        SCOPED_TRACE(odd.label);
        RunResult results[2];
        for (const bool fast : {false, true}) {
            Fighter one = makeFighter("Gracz1", 3, 2, odd.bossHp, odd.bossOne);
            Fighter two = makeFighter("Gracz2", 2, 3, odd.bossHp, odd.bossTwo);
            Lcg dice{4711};
            ScriptedConsole console;
            FastTallyTrace trace;
            const SimTally tally = fast ? simulateDuelsFast(one, two, odd.startHp, 70000, dice, console, {true, &trace})
                                        : simulateDuels(one, two, odd.startHp, 70000, dice, console);
            if (fast) {
                EXPECT_FALSE(trace.tabled);
            }
            results[fast] = {tally,      dice.state, console.transcript, one.hp,    two.hp,
                             one.killed, one.maimed, two.killed,         two.maimed};
        }
        EXPECT_EQ(results[1], results[0]);
    }
}

// ---------------------------------------------------------------------------------------
// The dice rolled in blocks against rollDie one die at a time.

TEST(DicePairs, BlocksRollTheSameDiceAsRollDieAndLeaveTheGeneratorAfterThem)
{
    for (const std::uint32_t seed : {0u, 1u, 12345u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        Lcg single{seed}, blocks{seed};
        // Blocks of different lengths one after another, each taking over where the last
        // left the generator.
        for (const std::size_t attacks : {dicePairBatch, 5 * dicePairBatch, 256 * dicePairBatch}) {
            std::vector<std::uint8_t> pairs(attacks);
            rollDicePairs(blocks, pairs.data(), attacks);
            for (std::size_t i = 0; i < attacks; ++i) {
                const std::uint8_t attackDie = rollDie(single);
                const std::uint8_t defenseDie = rollDie(single);
                ASSERT_EQ(pairs[i], dicePairOf(attackDie, defenseDie)) << "attack " << i;
            }
            EXPECT_EQ(blocks.state, single.state);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Across rounds of the dice (2^30 attacks each). The straightforward loop is too slow here
// under the sanitizers, so the rounds taken from the first round's record are checked
// against walking every attack of every round through the table, which the cases above
// tie to the straightforward loop.

void expectReuseMatchesWalkingEveryRound(const RunCase& c, FastTallyTrace& trace)
{
    const RunResult reused = run(Simulator::fast, c, &trace);
    EXPECT_EQ(reused, run(Simulator::fastWithoutReuse, c));
}

// An even duel takes about 6 attacks, so the first round holds about 180 million duels.
TEST(FastTallyAcrossDiceCycles, EndingInTheSecondRoundFromAMarkOrFromItsStart)
{
    FastTallyTrace trace;
    // Half way through the second round: resumed at a mark of the first round.
    expectReuseMatchesWalkingEveryRound({even, 2, 8, 270000000}, trace);
    EXPECT_TRUE(trace.resumedAtMark);
    EXPECT_EQ(trace.cyclesFromRecord, 0u);
    EXPECT_GT(trace.meetingAttack, 0u) << "with this seed the second round begins in the middle of a duel";
    ASSERT_GT(trace.firstCycleDuels, 0u);

    // The first duel to end in the second round, which began in the middle of a duel:
    // played from the round's start, before the walks of the two rounds meet.
    const auto firstRound = static_cast<std::uint32_t>(trace.firstCycleDuels);
    expectReuseMatchesWalkingEveryRound({even, 2, 8, firstRound + 1}, trace);
    EXPECT_FALSE(trace.resumedAtMark);
    EXPECT_EQ(trace.firstCycleDuels, firstRound);
}

// Duels decided mostly by critical hits, with 3 hit points: about 190 million a round.
TEST(FastTallyAcrossDiceCycles, AWholeRoundFromTheRecordThenPartOfTheThird)
{
    FastTallyTrace trace;
    expectReuseMatchesWalkingEveryRound({critsOnly, 3, 0xBADC0DEu, 430000000}, trace);
    EXPECT_EQ(trace.cyclesFromRecord, 1u);
    EXPECT_TRUE(trace.resumedAtMark);
    EXPECT_GT(trace.meetingAttack, 0u) << "with this seed the later rounds begin in the middle of a duel";
}

}  // namespace
}  // namespace zorvanty
