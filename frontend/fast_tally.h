#pragma once
// The fast simulator: the very duels of simulateDuels, with the same tally, the same dots,
// the dice left at the same draw and the records left as the last duel leaves them, but
// at a small fraction of the cost.
//
// Between attacks a silent duel stands in one of a few dozen places, so the duels become
// walks through a table of places (duel_table.h), driven by dice rolled in blocks. And the
// dice come round again: a die depends only on bits 16 to 30 of the generator, whose low
// 31 bits repeat every 2^31 draws, so every 2^30 attacks the same pairs of dice return.
// What one such round of the dice does depends only on where the duel stood when it
// began, and walks from different places over the same dice soon meet; so once the first
// round has been walked, each later one costs only the few attacks until its walk meets
// the first one.

#include <cstdint>

#include "combat/dice.h"
#include "combat/fighter.h"
#include "console/console.h"
#include "frontend/tally.h"

namespace zorvanty {

// Attacks until the pairs of dice repeat.
constexpr std::uint64_t attacksPerDiceCycle = std::uint64_t{1} << 30;

// What a run did, for the tests to see which way it went.
struct FastTallyTrace {
    bool tabled = false;                // false: simulateDuels played the run
    std::uint64_t firstCycleDuels = 0;  // duels ended in the first round of the dice, if played through
    std::uint32_t cyclesFromRecord = 0; // later rounds taken whole from the first round's record
    bool resumedAtMark = false;         // the last round was played from a mark of the first, not its start
    // The attack of the later rounds at which their walk met the first round's: 0 when they
    // began where the first began, at the start of a duel.
    std::uint64_t meetingAttack = 0;
};

struct FastTallyOptions {
    // Take each round of the dice after the first from the first one's record. Turned off,
    // every attack is walked through the table.
    bool reuseCycles = true;
    FastTallyTrace* trace = nullptr;
};

// Same arguments and effects as simulateDuels. Fighters the table cannot hold (a boss)
// are left to simulateDuels itself.
SimTally simulateDuelsFast(Fighter& one, Fighter& two, std::uint16_t startHp, std::uint32_t duels, Lcg& dice,
                           Console& progress, FastTallyOptions options = {});

}  // namespace zorvanty
