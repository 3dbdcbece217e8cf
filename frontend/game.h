#pragma once
// What lives from one game to the next, and the loop of games: menu, mode key, fighters,
// the mode itself, "Jeszcze raz? (T/N)".

#include <cstdint>
#include <optional>

#include "combat/dice.h"
#include "combat/fighter.h"
#include "console/console.h"

namespace zorvanty {

// The run's storage: both fighter records and the answer buffer every number is read
// into. Nothing here is reset between games except what the next entry writes.
struct Game {
    Console& console;
    Lcg& dice;
    Fighter fighterOne{};  // "Gracz1", or each challenger of the boss in turn; strikes first
    Fighter fighterTwo{};  // "Gracz2", or the boss
    LineBuffer answer{};
};

enum class ModeKind : std::uint8_t { Duel, Boss, Simulation };

struct GameMode {
    ModeKind kind;
    std::uint16_t startHp;
    std::uint32_t duels;  // simulations only: how many duels to run
};

// The mode a menu key chooses: a to f in either case (capitals count by their bit 0x20).
std::optional<GameMode> modeForKey(std::uint8_t key);

// The seed of a run: process id plus calendar time to the nearest second.
std::uint32_t startupSeed();

// Writes the title once and plays games until the person answers N.
void playGames(Game& game);

}  // namespace zorvanty
