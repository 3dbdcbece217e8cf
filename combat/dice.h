#pragma once
// The dice: one linear congruential generator for the whole process.

#include <cstdint>

namespace zorvanty {

struct Lcg {
    std::uint32_t state;  // seeding sets it to the seed itself
};

constexpr std::uint32_t lcgMultiplier = 1103515245u;
constexpr std::uint32_t lcgIncrement = 12345u;

// One draw: the next state's bits 16 to 30, a value from 0 to 32767.
inline std::uint32_t draw(Lcg& dice)
{
    dice.state = dice.state * lcgMultiplier + lcgIncrement;
    return (dice.state >> 16) & 0x7FFFu;
}

// The face a draw shows: 1 to 6, with 1 and 2 a shade more likely since 32768 is not a
// multiple of 6.
constexpr std::uint8_t faceOfDraw(std::uint32_t drawn) { return static_cast<std::uint8_t>(drawn % 6 + 1); }

inline std::uint8_t rollDie(Lcg& dice) { return faceOfDraw(draw(dice)); }

// Moves the generator `draws` draws ahead in O(log draws) steps, as if rolled that often.
void advance(Lcg& dice, std::uint64_t draws);

}  // namespace zorvanty
