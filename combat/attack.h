#pragma once
// The rules of one attack: two six-sided dice, attack die plus attack against defense die
// plus defense. A six on the attack die is a critical hit and wins another attack at once;
// a second critical hit in a row kills, and an ordinary hit right after a critical hit maims.

#include <cstdint>

#include "combat/dice.h"
#include "combat/fighter.h"

namespace zorvanty {

// Plays one attack of `attacker` on `defender` and returns whether the duel is over (the
// attacker has then won). `critStreak` counts the attacker's critical hits in a row.
// `dice` is anything rollDie accepts; `say` is a narration (narration.h).
template <typename Dice, typename Narration>
bool resolveAttack(Fighter& attacker, Fighter& defender, std::uint8_t& critStreak, Dice& dice, Narration& say)
{
    const std::uint16_t attackDie = rollDie(dice);
    const std::uint16_t defenseDie = rollDie(dice);
    const auto attackTotal = static_cast<std::uint16_t>(attackDie + attacker.attack);
    const auto defenseTotal = static_cast<std::uint16_t>(defenseDie + defender.defense);
    say("Atakuje %s\n Atak:  %hu + %hu = %hu.\n Obrona:%hu + %hu = %hu.\n", attacker.name, attackDie,
        attacker.attack, attackTotal, defenseDie, defender.defense, defenseTotal);

    if (attackDie == 6) {
        // A critical hit, whatever the totals. The streak is not cleared here.
        say("Trafia krytycznie");
        ++critStreak;
        if (critStreak > 1 || attacker.isBoss) {
            say(" i zabija");
            defender.hp = 0;
            defender.killed = true;
        } else {
            --defender.hp;
        }
    } else if (attackTotal > defenseTotal) {  // a tie goes to the defender
        say("Trafia");
        if (critStreak != 0) {
            say(" i okalecza");
            defender.hp = 0;
            defender.maimed = true;
        } else {
            --defender.hp;
        }
        critStreak = 0;
    } else {
        say("Nie trafia");
        critStreak = 0;
    }

    // A first critical hit that takes the last hit point is not yet the end: the same
    // attacker strikes again, and that follow-up ends the duel whatever it rolls.
    const bool over = defender.hp == 0 && (critStreak == 0 || defender.killed || defender.maimed);
    if (over)
        say(", %s wygrywa.\n\n", attacker.name);
    else
        say(", %s ma %hu hp.\n\n", defender.name, defender.hp);
    return over;
}

}  // namespace zorvanty
