#pragma once
// A whole game on the scripted console, with dice seeded by the test.

#include <string>

#include <gtest/gtest.h>

#include "fighters.h"
#include "frontend/game.h"
#include "scripted_console.h"

namespace zorvanty::testing {

// What the game writes before the first mode: the title and the menu, hearts as bytes 3.
inline const std::string titleAndMenu =
    "ZORVANTY 3000\n\n A - Walka - 2\x03\x03\n B - Walka - 3\x03\x03\x03\n C - Boss  - 2\x03\x03\n"
    " D - Boss  - 3\x03\x03\x03\n E - Symulacje - 2\x03\x03\n F - Symulacje - 3\x03\x03\x03\n";

struct GameFixture : ::testing::Test {
    ScriptedConsole console;
    Lcg dice{1};
    Game game{console, dice};

    // Plays games from the title on; true when the person answered N, false when the
    // script ran out first.
    bool play()
    {
        try {
            playGames(game);
            return true;
        } catch (const ScriptEnded&) {
            return false;
        }
    }
};

}  // namespace zorvanty::testing
