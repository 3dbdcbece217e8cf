#include "frontend/duel_table.h"

#include "combat/duel.h"
#include "combat/narration.h"

namespace zorvanty {

namespace {

// Dice that show two chosen faces, the attack die's and then the defense die's.
struct ChosenDice {
    std::uint8_t faces[2];
    unsigned rolled;
};

std::uint8_t rollDie(ChosenDice& dice) { return dice.faces[dice.rolled++]; }

// One round of a silent duel from `state`: the attack of whoever's turn it is, and the
// turn passing after an attack that was not a critical hit. Returns whether the duel is
// over; `state` is then left as it was.
bool playRound(Fighter& one, Fighter& two, DuelState& state, std::uint8_t pair)
{
    one.hp = state.hpOne;
    two.hp = state.hpTwo;
    one.killed = one.maimed = two.killed = two.maimed = false;
    Fighter* const fighters[2] = {&one, &two};
    ChosenDice dice{{attackDieOf(pair), defenseDieOf(pair)}, 0};
    SilentNarration silent;
    std::uint8_t critStreak = state.critStreak;
    std::uint8_t turn = state.turn;
    if (takeTurn(fighters, turn, critStreak, dice, silent)) return true;
    state.hpOne = one.hp;
    state.hpTwo = two.hp;
    state.critStreak = critStreak;
    state.turn = turn;
    return false;
}

// The index of `state` in the table, adding it when new; maxDuelStates when full.
unsigned placeOf(DuelTable& table, const DuelState& state)
{
    for (unsigned s = 0; s < table.stateCount; ++s)
        if (table.states[s] == state) return s;
    if (table.stateCount == maxDuelStates) return maxDuelStates;
    table.states[table.stateCount] = state;
    return table.stateCount++;
}

// The index of `tally` among the table's endings, adding it when new.
unsigned endingOf(DuelTable& table, const SimTally& tally)
{
    for (unsigned e = 0; e < table.endingCount; ++e)
        if (table.endings[e] == tally) return e;
    if (table.endingCount == maxDuelEndings) return maxDuelEndings;
    table.endings[table.endingCount] = tally;
    return table.endingCount++;
}

}  // namespace

bool buildDuelTable(DuelTable& table, const Fighter& one, const Fighter& two, std::uint16_t startHp)
{
    if (one.isBoss || two.isBoss) return false;
    table.stateCount = 0;
    table.endingCount = 0;
    endingOf(table, SimTally{});
    placeOf(table, DuelState{startHp, startHp, 0, 0});

    Fighter first = one, second = two;
    // Every state found is expanded in turn; states found meanwhile join the end.
    for (unsigned s = 0; s < table.stateCount; ++s) {
        for (std::uint8_t pair = 0; pair < dicePairCount; ++pair) {
            DuelState after = table.states[s];
            unsigned nextState = 0, ending = 0;
            if (playRound(first, second, after, pair)) {
                SimTally tally{};
                countOutcome(tally, after.turn, first, second);
                ending = endingOf(table, tally);
                if (ending == maxDuelEndings) return false;
            } else {
                nextState = placeOf(table, after);
                if (nextState == maxDuelStates) return false;
            }
            table.next[s][pair] = static_cast<std::uint8_t>(nextState);
            table.ending[s][pair] = static_cast<std::uint8_t>(ending);
        }
    }
    return true;
}

void playAttackAt(Fighter& one, Fighter& two, const DuelState& state, std::uint8_t pair)
{
    DuelState at = state;
    playRound(one, two, at, pair);
}

}  // namespace zorvanty
