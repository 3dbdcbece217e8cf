#include "frontend/simulation.h"

#include <cmath>
#include <limits>

#include "console/format.h"
#include "frontend/entry.h"
#include "frontend/fast_tally.h"

namespace zorvanty {

std::uint32_t askDuelCount(Game& game)
{
    writeText(game.console, "\nliczba symulacji: ");
    game.console.readLine(game.answer);
    return static_cast<std::uint32_t>(parseNumber(game.answer));
}

double percentOf(std::uint32_t x, std::uint32_t n)
{
    if (n == 0) return -std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(x) * 100.0 / static_cast<double>(n);
}

void writeReport(Console& console, const SimTally& t, std::uint32_t n)
{
    writeText(console,
              "\n\nGracz 1 wygrywa %0.3f%%, w tym %0.3f%% zabija, a %0.3f%% okalecza.\n"
              "Gracz 2 wygrywa %0.3f%%, w tym %0.3f%% zabija, a %0.3f%% okalecza.\n"
              "Zabicia: %0.3f%%, okaleczenia: %0.3f%%\n\n",
              percentOf(t.winsOne, n), percentOf(t.killsOne, n), percentOf(t.maimsOne, n),
              percentOf(t.winsTwo, n), percentOf(t.killsTwo, n), percentOf(t.maimsTwo, n),
              percentOf(t.killsOne + t.killsTwo, n), percentOf(t.maimsOne + t.maimsTwo, n));
}

void playSimulation(Game& game, std::uint16_t startHp, std::uint32_t duels)
{
    writeText(game.console, "\nSYMULACJA:");
    const SimTally tally = simulateDuelsFast(game.fighterOne, game.fighterTwo, startHp, duels, game.dice, game.console);
    writeReport(game.console, tally, duels);
    game.console.readKey();
}

}  // namespace zorvanty
