#include "frontend/fast_tally.h"

#include <algorithm>
#include <memory>

#include "console/format.h"
#include "frontend/dice_pairs.h"
#include "frontend/duel_table.h"

namespace zorvanty {

namespace {

// The dice are rolled a block at a time; the block is walked in lanes, each lane over a
// stretch of its own, so that the walks do not wait on one another.
constexpr unsigned laneCount = 8;
constexpr unsigned laneAttacks = 2048;
constexpr unsigned blockAttacks = laneCount * laneAttacks;
constexpr std::uint64_t blocksPerCycle = attacksPerDiceCycle / blockAttacks;
// The first round of the dice keeps a mark (place and tally so far) every so many blocks.
constexpr unsigned blocksPerMark = 64;
constexpr std::uint64_t attacksPerMark = std::uint64_t{blocksPerMark} * blockAttacks;
constexpr unsigned marksPerCycle = static_cast<unsigned>(blocksPerCycle / blocksPerMark);
static_assert(blockAttacks % dicePairBatch == 0);
static_assert(attacksPerDiceCycle % attacksPerMark == 0);

// The six counters of SimTally, in its order, wide enough never to wrap within a run.
// Differences of tallies are taken modulo 2^64 and come right once added back.
struct Counts {
    std::uint64_t field[6];
};

Counts countsOf(const SimTally& t) { return {{t.winsOne, t.killsOne, t.maimsOne, t.winsTwo, t.killsTwo, t.maimsTwo}}; }

SimTally simTallyOf(const Counts& c)
{
    const auto n = [&](unsigned f) { return static_cast<std::uint32_t>(c.field[f]); };
    return {n(0), n(1), n(2), n(3), n(4), n(5)};
}

std::uint64_t duelsOf(const Counts& c) { return c.field[0] + c.field[3]; }

Counts& operator+=(Counts& a, const Counts& b)
{
    for (unsigned f = 0; f < 6; ++f) a.field[f] += b.field[f];
    return a;
}
Counts operator+(Counts a, const Counts& b) { return a += b; }
Counts operator-(Counts a, const Counts& b)
{
    for (unsigned f = 0; f < 6; ++f) a.field[f] -= b.field[f];
    return a;
}

// While walking, the tally of each attack is one word: ten bits a counter. A duel ends at
// most once an attack and adds at most one to a counter, so a word holds 1023 attacks.
constexpr unsigned gainBits = 10;
constexpr std::uint64_t gainMask = (std::uint64_t{1} << gainBits) - 1;
constexpr unsigned flushAttacks = static_cast<unsigned>(gainMask);

std::uint64_t packedOf(const SimTally& t)
{
    const Counts c = countsOf(t);
    std::uint64_t packed = 0;
    for (unsigned f = 0; f < 6; ++f) packed |= c.field[f] << (gainBits * f);
    return packed;
}

void addPacked(Counts& c, std::uint64_t packed)
{
    for (unsigned f = 0; f < 6; ++f) c.field[f] += (packed >> (gainBits * f)) & gainMask;
}

// The duel table laid out for walking. A place is held as its row, the state times 36,
// and the pair of dice picks the column.
struct Steps {
    std::uint16_t next[maxDuelStates * dicePairCount];  // row of the state after the attack
    std::uint64_t gain[maxDuelStates * dicePairCount];  // the attack's tally, packed
};

constexpr std::uint32_t startRow = 0;

void layOut(Steps& steps, const DuelTable& table)
{
    for (unsigned s = 0; s < table.stateCount; ++s)
        for (unsigned p = 0; p < dicePairCount; ++p) {
            steps.next[s * dicePairCount + p] = static_cast<std::uint16_t>(table.next[s][p] * dicePairCount);
            steps.gain[s * dicePairCount + p] = packedOf(table.endings[table.ending[s][p]]);
        }
}

// One attack from `row` with the dice `pair`; returns its tally, packed.
inline std::uint64_t step(const Steps& steps, std::uint32_t& row, std::uint8_t pair)
{
    const std::uint32_t at = row + pair;
    row = steps.next[at];
    return steps.gain[at];
}

// A mark of the first round of the dice: where the duel stood at the start of a block and
// what the round had tallied before it.
struct Mark {
    std::uint32_t row;
    Counts before;
};

// A later round of the dice that begins at another place than the first round did: its
// walk meets the first round's at attack `metAt` of the round, having tallied `before`
// more than the first round up to there (modulo 2^64). From there on the two are one.
struct CycleFrom {
    bool known;
    bool meets;  // false when the walks did not meet within the first mark's stretch
    std::uint64_t metAt;
    Counts before;
};

struct FastRun {
    DuelTable duel;
    Steps steps;
    std::uint8_t pairs[blockAttacks];
    Mark marks[marksPerCycle];
    CycleFrom cycleFrom[maxDuelStates];
    Lcg origin;               // the dice as the run found them
    std::uint64_t target;     // duels to play
    Counts done;              // the tally of the duels played so far
    std::uint64_t attacks;    // attacks played so far
    std::uint64_t dots;       // progress dots written so far
    std::uint32_t lastRow;    // where the last duel stood before its last attack
    std::uint8_t lastPair;    // and the dice of that attack
    Console* progress;
    FastTallyTrace trace;
};

void writeDots(FastRun& run)
{
    const std::uint64_t due = duelsOf(run.done) / duelsPerDot;
    for (; run.dots < due; ++run.dots) writeText(*run.progress, ".");
}

// Walks every lane of the block over its own stretch, lane j from rows[j]; leaves in
// rows[j] where it ended and adds what it tallied to gains[j].
void walkLanes(const Steps& steps, const std::uint8_t* pairs, std::uint32_t (&rows)[laneCount],
               Counts (&gains)[laneCount])
{
    std::uint32_t row[laneCount];
    std::copy(rows, rows + laneCount, row);
    for (unsigned from = 0; from < laneAttacks; from += flushAttacks) {
        const unsigned to = std::min(from + flushAttacks, laneAttacks);
        std::uint64_t packed[laneCount] = {};
        for (unsigned k = from; k < to; ++k)
            for (unsigned j = 0; j < laneCount; ++j) {
                const std::uint32_t at = row[j] + pairs[j * laneAttacks + k];
                row[j] = steps.next[at];
                packed[j] += steps.gain[at];
            }
        for (unsigned j = 0; j < laneCount; ++j) addPacked(gains[j], packed[j]);
    }
    std::copy(row, row + laneCount, rows);
}

// Walks from `a` and from `b` side by side over `pairs` until both stand in the same
// place, adding what each tallied to its gain; returns the attacks walked (`count` when
// they never met).
std::size_t walkUntilMet(const Steps& steps, const std::uint8_t* pairs, std::size_t count, std::uint32_t& a,
                         std::uint32_t& b, Counts& gainA, Counts& gainB)
{
    std::size_t k = 0;
    for (; k < count && a != b; ++k) {
        addPacked(gainA, step(steps, a, pairs[k]));
        addPacked(gainB, step(steps, b, pairs[k]));
    }
    return k;
}

// Plays run.pairs from `row` one attack at a time until the run's last duel ends.
void finishInBlock(FastRun& run, std::uint32_t row)
{
    for (unsigned k = 0; k < blockAttacks; ++k) {
        const std::uint32_t before = row;
        const std::uint64_t gain = step(run.steps, row, run.pairs[k]);
        if (gain == 0) continue;
        addPacked(run.done, gain);
        if (duelsOf(run.done) == run.target) {
            run.attacks += k + 1;
            run.lastRow = before;
            run.lastPair = run.pairs[k];
            writeDots(run);
            return;
        }
    }
}

// Plays the block of dice in run.pairs from `row`. Returns true when the run's last duel
// ended in it; otherwise the block is counted and `row` is where it left the duel.
bool playBlock(FastRun& run, std::uint32_t& row)
{
    // Only the first lane knows where it starts; the others start from a guess and are put
    // right afterwards, each from where the lane before it truly ended.
    std::uint32_t rows[laneCount];
    std::fill(rows, rows + laneCount, startRow);
    rows[0] = row;
    Counts gains[laneCount] = {};
    walkLanes(run.steps, run.pairs, rows, gains);
    Counts block = gains[0];
    for (unsigned j = 1; j < laneCount; ++j) {
        std::uint32_t truth = rows[j - 1], guess = startRow;
        Counts truthGain{}, guessGain{};
        const std::size_t walked = walkUntilMet(run.steps, run.pairs + j * laneAttacks, laneAttacks, truth, guess,
                                                truthGain, guessGain);
        gains[j] += truthGain - guessGain;
        if (walked == laneAttacks) rows[j] = truth;
        block += gains[j];
    }
    if (duelsOf(run.done) + duelsOf(block) >= run.target) {
        finishInBlock(run, row);
        return true;
    }
    run.done += block;
    run.attacks += blockAttacks;
    row = rows[laneCount - 1];
    writeDots(run);
    return false;
}

// Plays up to `blocks` blocks from `row`, the dice from run.attacks on; returns true when
// the run's last duel has ended. With `marks`, marks the blocks (a round from its start).
bool playBlocks(FastRun& run, std::uint32_t& row, std::uint64_t blocks, Mark* marks)
{
    Lcg dice = run.origin;
    advance(dice, 2 * run.attacks);
    const Counts start = run.done;
    for (std::uint64_t b = 0; b < blocks; ++b) {
        if (marks != nullptr && b % blocksPerMark == 0) marks[b / blocksPerMark] = {row, run.done - start};
        rollDicePairs(dice, run.pairs, blockAttacks);
        if (playBlock(run, row)) return true;
    }
    return false;
}

// How a round of the dice that begins at `row` differs from the first round.
const CycleFrom& cycleFrom(FastRun& run, std::uint32_t row)
{
    CycleFrom& from = run.cycleFrom[row / dicePairCount];
    if (from.known) return from;
    from = {true, false, 0, {}};
    std::uint32_t mine = row, first = startRow;
    Counts mineGain{}, firstGain{};
    Lcg dice = run.origin;  // every round rolls the first round's dice
    for (std::uint64_t walked = 0; walked < attacksPerMark; walked += blockAttacks) {
        rollDicePairs(dice, run.pairs, blockAttacks);
        const std::size_t k = walkUntilMet(run.steps, run.pairs, blockAttacks, mine, first, mineGain, firstGain);
        if (mine == first) {
            from.meets = true;
            from.metAt = walked + k;
            from.before = mineGain - firstGain;
            break;
        }
    }
    return from;
}

void playWithReuse(FastRun& run)
{
    std::uint32_t row = startRow;
    if (playBlocks(run, row, blocksPerCycle, run.marks)) return;
    const Counts firstRound = run.done;
    const std::uint32_t firstEnd = row;
    run.trace.firstCycleDuels = duelsOf(firstRound);
    for (;;) {
        const CycleFrom& from = cycleFrom(run, row);
        if (!from.meets) {
            if (playBlocks(run, row, blocksPerCycle, nullptr)) return;
            continue;
        }
        run.trace.meetingAttack = from.metAt;
        const Counts round = firstRound + from.before;
        if (duelsOf(run.done) + duelsOf(round) < run.target) {
            run.done += round;
            run.attacks += attacksPerDiceCycle;
            ++run.trace.cyclesFromRecord;
            row = firstEnd;
            writeDots(run);
            continue;
        }
        // The last duel ends in this round. Play it from the latest mark that lies past the
        // meeting of the walks and before that duel's end, or from the round's start.
        const std::uint64_t left = run.target - duelsOf(run.done);
        for (unsigned m = marksPerCycle; m-- > 0;) {
            if (m * attacksPerMark < from.metAt) break;
            const Counts before = run.marks[m].before + from.before;
            if (duelsOf(before) < left) {
                run.done += before;
                run.attacks += m * attacksPerMark;
                row = run.marks[m].row;
                run.trace.resumedAtMark = true;
                break;
            }
        }
        playBlocks(run, row, blocksPerCycle, nullptr);
        return;
    }
}

}  // namespace

SimTally simulateDuelsFast(Fighter& one, Fighter& two, std::uint16_t startHp, std::uint32_t duels, Lcg& dice,
                           Console& progress, FastTallyOptions options)
{
    FastTallyTrace unseen;
    FastTallyTrace& trace = options.trace != nullptr ? *options.trace : unseen;
    trace = {};
    const auto run = std::make_unique<FastRun>();
    if (!buildDuelTable(run->duel, one, two, startHp)) return simulateDuels(one, two, startHp, duels, dice, progress);
    run->trace.tabled = true;
    if (duels == 0) {
        trace = run->trace;
        return SimTally{};
    }
    layOut(run->steps, run->duel);
    run->origin = dice;
    run->target = duels;
    run->progress = &progress;

    if (options.reuseCycles) {
        playWithReuse(*run);
    } else {
        std::uint32_t row = startRow;
        while (!playBlocks(*run, row, blocksPerCycle, nullptr)) {}
    }

    trace = run->trace;
    advance(dice, 2 * run->attacks);
    playAttackAt(one, two, run->duel.states[run->lastRow / dicePairCount], run->lastPair);
    return simTallyOf(run->done);
}

}  // namespace zorvanty
