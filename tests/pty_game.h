#pragma once
// What the end-to-end tests know about a game seen from outside: the fixed title and
// menu, stepping through the pauses of a watched duel, and checking its narration and the
// simulation report against the fighters that were typed in.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/pty_session.h"

namespace zorvanty::e2e {

constexpr std::string_view heartOnTerminal = "\xE2\x99\xA5";  // U+2665 in UTF-8
constexpr std::string_view heartByte = "\x03";

// The title and the first menu, with each hit point shown as `heart`.
std::string titleAndMenu(std::string_view heart);
// The menu alone, as every later game shows it.
std::string menu(std::string_view heart);

// One fighter as typed in, and what a duel leaves of it.
struct Contender {
    std::string name;
    std::uint16_t attack = 0;
    std::uint16_t defense = 0;
    bool isBoss = false;
    std::uint16_t hp = 0;  // a boss's hit points; a duel sets everyone else's
};

// Steps through a watched duel: at every pause (the game reading a key after a round,
// or after "WALKA:") presses the next of `keys`, then spaces, until the output ends with
// one of `stops`. Reports the stop met and the number of keys pressed.
struct PauseWalk {
    std::string stop;
    int presses = 0;
};
::testing::AssertionResult pressThroughPauses(PtySession& session, const std::vector<std::string>& stops,
                                              PauseWalk& walk, const std::vector<std::string>& keys = {});

// Checks the narration of one whole watched duel, round by round, from "RUNDA 1" to the
// winner: round numbers, names, the typed values in the sums, the sums themselves, the
// verdict each pair of dice calls for, whose turn it is and the hit points left. The
// fighters come out as the duel leaves them (a boss keeps its wounds).
::testing::AssertionResult checkNarration(std::string_view text, Contender& first, Contender& second,
                                          std::uint16_t startHp, int& rounds);

// Checks the simulation report, from its "\n\n" to the blank line after it: its shape,
// and that its figures add up (wins to 100, kills and maims within wins, the totals).
::testing::AssertionResult checkReport(std::string_view text);
// The length of the report at the start of `text`, or 0 when there is none.
std::size_t reportLength(std::string_view text);

}  // namespace zorvanty::e2e
