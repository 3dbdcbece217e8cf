#pragma once
// Modes E and F: many silent duels between the same two fighters, then how often each
// side won, and how often by a kill or a maim, as shares of all duels.

#include <cstdint>

#include "console/console.h"
#include "frontend/game.h"
#include "frontend/tally.h"

namespace zorvanty {

// Asks "liczba symulacji: "; a negative answer wraps (-1 is 4294967295 duels).
std::uint32_t askDuelCount(Game& game);

// x as a percentage of n: x * 100 / n in double precision. For n = 0 every figure is
// 0 * 100 / 0, the not-a-number with its sign bit set, whatever the processor's own.
double percentOf(std::uint32_t x, std::uint32_t n);

// The eight figures of the report, and the blank line after it.
void writeReport(Console& console, const SimTally& tally, std::uint32_t duels);

// Runs the duels of the mode with progress dots, writes the report, waits for a key.
void playSimulation(Game& game, std::uint16_t startHp, std::uint32_t duels);

}  // namespace zorvanty
