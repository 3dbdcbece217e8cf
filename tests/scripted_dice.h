#pragma once
// Dice that show the faces a test asks for, in order, so that every branch of an attack
// can be reached on purpose.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace zorvanty {

struct ScriptedDice {
    std::vector<std::uint8_t> faces;
    std::size_t rolled = 0;
};

inline std::uint8_t rollDie(ScriptedDice& dice)
{
    if (dice.rolled == dice.faces.size()) throw std::out_of_range("the scripted dice ran out");
    return dice.faces[dice.rolled++];
}

}  // namespace zorvanty
