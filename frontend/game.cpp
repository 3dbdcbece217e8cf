#include "frontend/game.h"

#include <ctime>
#include <unistd.h>

#include "combat/duel.h"
#include "console/format.h"
#include "frontend/entry.h"
#include "frontend/gauntlet.h"
#include "frontend/simulation.h"

namespace zorvanty {

namespace {

// Bit 0x20 makes a capital letter small, so a and A choose the same.
constexpr std::uint8_t asSmallLetter(std::uint8_t key) { return static_cast<std::uint8_t>(key | 0x20); }

// Each line's hearts (the byte 3) are the hit points of its mode.
void writeMenu(Console& console)
{
    writeText(console,
              "\n\n A - Walka - 2\x03\x03\n B - Walka - 3\x03\x03\x03\n C - Boss  - 2\x03\x03\n"
              " D - Boss  - 3\x03\x03\x03\n E - Symulacje - 2\x03\x03\n F - Symulacje - 3\x03\x03\x03\n");
}

GameMode chooseMode(Console& console)
{
    for (;;)
        if (const auto mode = modeForKey(console.readKey())) return *mode;
}

void enterPlayers(Game& game, bool withName)
{
    game.fighterOne.isBoss = false;
    writeText(game.console, "\nGracz1:\n");
    askFighter(game, game.fighterOne, withName);
    game.fighterTwo.isBoss = false;
    writeText(game.console, "\nGracz2:\n");
    askFighter(game, game.fighterTwo, withName);
    writeText(game.console, "\n");
}

void playWatchedDuel(Game& game, std::uint16_t startHp)
{
    writeText(game.console, "\nWALKA:\n\n");
    runDuel(game.fighterOne, game.fighterTwo, startHp, game.dice, game.console);
    game.console.readKey();
}

// "Jeszcze raz? (T/N)": true for T, false for N; every other key is ignored.
bool askReplay(Console& console)
{
    writeText(console, "Jeszcze raz? (T/N)");
    for (;;) {
        const std::uint8_t key = asSmallLetter(console.readKey());
        if (key == 't') return true;
        if (key == 'n') return false;
    }
}

void playOneGame(Game& game)
{
    writeMenu(game.console);
    GameMode mode = chooseMode(game.console);
    game.console.discardPendingInput();
    if (mode.kind == ModeKind::Simulation) mode.duels = askDuelCount(game);

    if (mode.kind == ModeKind::Boss)
        enterBoss(game, mode.startHp);
    else
        enterPlayers(game, mode.kind == ModeKind::Duel);  // the simulation never shows names
    game.console.discardPendingInput();

    switch (mode.kind) {
    case ModeKind::Duel: playWatchedDuel(game, mode.startHp); break;
    case ModeKind::Boss: playGauntlet(game); break;
    case ModeKind::Simulation: playSimulation(game, mode.startHp, mode.duels); break;
    }
}

}  // namespace

std::optional<GameMode> modeForKey(std::uint8_t key)
{
    switch (asSmallLetter(key)) {
    case 'a': return GameMode{ModeKind::Duel, 2, 0};
    case 'b': return GameMode{ModeKind::Duel, 3, 0};
    case 'c': return GameMode{ModeKind::Boss, 2, 0};
    case 'd': return GameMode{ModeKind::Boss, 3, 0};
    case 'e': return GameMode{ModeKind::Simulation, 2, 0};
    case 'f': return GameMode{ModeKind::Simulation, 3, 0};
    default: return std::nullopt;
    }
}

std::uint32_t startupSeed()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto seconds = static_cast<std::uint32_t>(now.tv_sec + (now.tv_nsec >= 500000000 ? 1 : 0));
    return static_cast<std::uint32_t>(getpid()) + seconds;
}

void playGames(Game& game)
{
    writeText(game.console, "ZORVANTY 3000");
    do
        playOneGame(game);
    while (askReplay(game.console));
}

}  // namespace zorvanty
