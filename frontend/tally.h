#pragma once
// Counting the outcomes of many silent duels between the same two fighters.

#include <cstdint>

#include "combat/dice.h"
#include "combat/fighter.h"
#include "console/console.h"

namespace zorvanty {

struct SimTally {
    std::uint32_t winsOne;   // fighterOne won
    std::uint32_t killsOne;  // ... and fighterTwo was killed
    std::uint32_t maimsOne;  // ... and fighterTwo was maimed
    std::uint32_t winsTwo;
    std::uint32_t killsTwo;
    std::uint32_t maimsTwo;
    friend bool operator==(const SimTally&, const SimTally&) = default;
};

// Adds the duel just played, won by `winner` (0 for one, 1 for two), to the tally.
inline void countOutcome(SimTally& tally, std::uint8_t winner, const Fighter& one, const Fighter& two)
{
    if (winner == 1) {
        ++tally.winsTwo;
        tally.killsTwo += one.killed;
        tally.maimsTwo += one.maimed;
    } else {
        ++tally.winsOne;
        tally.killsOne += two.killed;
        tally.maimsOne += two.maimed;
    }
}

// One progress dot for every 65536 duels, written after the duel that completes them.
constexpr std::uint32_t duelsPerDot = 65536;

// The straightforward simulator: `duels` silent duels one after another, `one` striking
// first, each counted as it ends, a "." on `progress` after every 65536th.
SimTally simulateDuels(Fighter& one, Fighter& two, std::uint16_t startHp, std::uint32_t duels, Lcg& dice,
                       Console& progress);

}  // namespace zorvanty
