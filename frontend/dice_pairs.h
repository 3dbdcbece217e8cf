#pragma once
// The dice of many attacks at once. An attack rolls two dice, the attack die first; the
// simulator only ever needs the pair, so a pair is one number from 0 to 35.

#include <cstddef>
#include <cstdint>

#include "combat/dice.h"

namespace zorvanty {

constexpr unsigned dicePairCount = 36;

// The pair of one attack: (attack die - 1) * 6 + (defense die - 1).
constexpr std::uint8_t dicePairOf(std::uint8_t attackDie, std::uint8_t defenseDie)
{
    return static_cast<std::uint8_t>((attackDie - 1) * 6 + (defenseDie - 1));
}
constexpr std::uint8_t attackDieOf(std::uint8_t pair) { return static_cast<std::uint8_t>(pair / 6 + 1); }
constexpr std::uint8_t defenseDieOf(std::uint8_t pair) { return static_cast<std::uint8_t>(pair % 6 + 1); }

// Rolls the dice of `attacks` attacks in a row, exactly as rollDie would one die at a time:
// pairs[i] is the pair of attack i. `attacks` must be a multiple of dicePairBatch; `dice`
// is left after the last draw.
constexpr std::size_t dicePairBatch = 16;
void rollDicePairs(Lcg& dice, std::uint8_t* pairs, std::size_t attacks);

}  // namespace zorvanty
