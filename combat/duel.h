#pragma once
// A whole duel: the fighter given first strikes first, and the turn passes only after an
// attack that was not a critical hit. Every attack is a round of its own.

#include <cstdint>

#include "combat/attack.h"
#include "combat/narration.h"
#include "console/console.h"

namespace zorvanty {

// One round: the fighter whose turn it is attacks the other. Returns whether the duel is
// over (fighters[turn] has won); otherwise the turn passes, unless the attack was a
// critical hit, which wins the same fighter another attack.
template <typename Dice, typename Narration>
bool takeTurn(Fighter* const (&fighters)[2], std::uint8_t& turn, std::uint8_t& critStreak, Dice& dice,
              Narration& say)
{
    if (resolveAttack(*fighters[turn], *fighters[turn ^ 1], critStreak, dice, say)) return true;
    if (critStreak == 0) turn ^= 1;
    return false;
}

// Plays one duel in the manner of `say` and returns the winner: 0 for `first`, 1 for
// `second`. Fighters that are not the boss start with `startHp` (at least 1); a boss keeps
// the hit points it has and must have at least one.
template <typename Dice, typename Narration>
std::uint8_t playDuel(Fighter& first, Fighter& second, std::uint16_t startHp, Dice& dice, Narration& say)
{
    if (!first.isBoss) first.hp = startHp;
    if (!second.isBoss) second.hp = startHp;
    first.killed = first.maimed = false;
    second.killed = second.maimed = false;

    Fighter* const fighters[2] = {&first, &second};
    std::uint8_t critStreak = 0;
    std::uint8_t turn = 0;
    for (std::uint32_t round = 1;; ++round) {
        say.pause();
        say("RUNDA %hu\n\n", static_cast<std::uint16_t>(round));
        if (takeTurn(fighters, turn, critStreak, dice, say)) return turn;
    }
}

// The silent duel of the simulator: no text, no keys.
inline std::uint8_t runDuel(Fighter& first, Fighter& second, std::uint16_t startHp, Lcg& dice)
{
    SilentNarration silent;
    return playDuel(first, second, startHp, dice, silent);
}

// The watched duel: every round waits for a key and every attack is narrated on `console`.
std::uint8_t runDuel(Fighter& first, Fighter& second, std::uint16_t startHp, Lcg& dice, Console& console);

}  // namespace zorvanty
