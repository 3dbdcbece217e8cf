#pragma once
// A whole duel: the fighter given first strikes first, and the turn passes only after an
// attack that was not a critical hit. Every attack is a round of its own.

#include <cstdint>

#include "combat/attack.h"
#include "combat/narration.h"
#include "console/console.h"

namespace zorvanty {

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
        if (resolveAttack(*fighters[turn], *fighters[turn ^ 1], critStreak, dice, say)) return turn;
        if (critStreak == 0) turn ^= 1;
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
