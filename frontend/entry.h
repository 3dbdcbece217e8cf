#pragma once
// The prompts that read a fighter: "nazwa: ", "atak:  ", "obrona:", seven characters
// each so that the answers line up.

#include <cstddef>
#include <cstdint>

#include "console/format.h"
#include "frontend/game.h"

namespace zorvanty {

// A number as the game reads it: white space skipped, one optional sign, decimal digits
// with 32-bit wrap-around, the rest ignored; no digits give 0.
std::int32_t parseNumber(const char* text);

// Asks for the fighter's name and returns the length of the line read, line end
// included; the line end itself is removed from the name. An empty line gives 1.
std::size_t askName(Game& game, Fighter& fighter);

// Writes the label, reads an answer and parses it.
std::int32_t askNumber(Game& game, CheckedFormat<> label);

// Name (when withName), attack and defense; the numbers keep their low 16 bits.
void askFighter(Game& game, Fighter& fighter, bool withName);

}  // namespace zorvanty
