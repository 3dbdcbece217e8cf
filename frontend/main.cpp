// ZORVANTY 3000: duels of dice in the console.

#include "console/terminal.h"
#include "frontend/game.h"

int main()
{
    // Standard output is written straight to the descriptor, unbuffered, so every prompt
    // shows before the read that follows it.
    static zorvanty::TerminalConsole console;
    static zorvanty::Lcg dice{zorvanty::startupSeed()};
    static zorvanty::Game game{console, dice};
    zorvanty::playGames(game);
    return 0;
}
