#pragma once
// A silent duel between two given fighters as a table: every place the duel can stand in
// between two attacks, and where each of the 36 pairs of dice takes it from there. The
// table is filled by playing resolveAttack itself on every place and pair, and the tally
// of every end by countOutcome, so it holds no rule of its own.

#include <cstdint>

#include "combat/fighter.h"
#include "frontend/dice_pairs.h"
#include "frontend/tally.h"

namespace zorvanty {

// Where a duel stands between two attacks.
struct DuelState {
    std::uint16_t hpOne;
    std::uint16_t hpTwo;
    std::uint8_t turn;        // 0 while `one` attacks, 1 while `two` does
    std::uint8_t critStreak;  // the attacker's critical hits in a row
    friend bool operator==(const DuelState&, const DuelState&) = default;
};

// Ordinary fighters with 1 to 3 hit points need a few dozen places at most.
constexpr unsigned maxDuelStates = 256;
// The different ways an attack can leave the tally: going on, or one of the ends.
constexpr unsigned maxDuelEndings = 16;

struct DuelTable {
    std::uint16_t stateCount;  // state 0 is the start of every duel
    DuelState states[maxDuelStates];
    // The state after the attack; a duel that ends goes to state 0, where the next begins.
    std::uint8_t next[maxDuelStates][dicePairCount];
    // Which of `endings` the attack adds to the tally; 0, an empty tally, while it goes on.
    std::uint8_t ending[maxDuelStates][dicePairCount];
    std::uint8_t endingCount;
    SimTally endings[maxDuelEndings];
};

// Fills `table` for duels of `one` (striking first) against `two` with `startHp` each.
// Returns false when a duel of theirs is no fixed set of places: a boss keeps its hit
// points from one duel to the next, and an odd start could need more than maxDuelStates.
bool buildDuelTable(DuelTable& table, const Fighter& one, const Fighter& two, std::uint16_t startHp);

// Leaves the two records as the engine leaves them after playing the dice `pair` in
// `state`: the hit points of the state, no flag, then the attack itself.
void playAttackAt(Fighter& one, Fighter& two, const DuelState& state, std::uint8_t pair);

}  // namespace zorvanty
