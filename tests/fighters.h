#pragma once
// Building fighter records for tests.

#include <cstdint>
#include <cstring>

#include "combat/fighter.h"

namespace zorvanty::testing {

inline Fighter makeFighter(const char* name, std::uint16_t attack, std::uint16_t defense, std::uint16_t hp = 0,
                           bool isBoss = false)
{
    Fighter f{};
    std::strncpy(f.name, name, sizeof f.name - 1);
    f.attack = attack;
    f.defense = defense;
    f.hp = hp;
    f.isBoss = isBoss;
    return f;
}

}  // namespace zorvanty::testing
