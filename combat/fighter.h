#pragma once

#include <cstdint>

#include "console/console.h"

namespace zorvanty {

// One combatant. The engine changes only hp, killed and maimed.
struct Fighter {
    char name[lineCapacity];    // shown in messages; up to 255 characters
    std::uint16_t attack;       // added to the attacker's die
    std::uint16_t defense;      // added to the defender's die
    std::uint16_t hp;           // hit points left
    bool killed;                // lost the current duel to a kill
    bool maimed;                // lost the current duel to a maim
    bool isBoss;                // keeps its hp from duel to duel; every critical hit of it kills
};

}  // namespace zorvanty
