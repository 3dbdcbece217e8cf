#include "frontend/gauntlet.h"

#include "combat/duel.h"
#include "console/format.h"
#include "frontend/entry.h"

namespace zorvanty {

namespace {
// Every challenger steps up with a single hit point, whatever the mode.
constexpr std::uint16_t challengerHp = 1;
// askName's length for a line that held nothing but its line end.
constexpr std::size_t emptyAnswerLength = 1;
}  // namespace

void enterBoss(Game& game, std::uint16_t startHp)
{
    game.fighterTwo.isBoss = true;
    game.fighterTwo.hp = startHp;
    writeText(game.console, "\nboss:\n");
    askFighter(game, game.fighterTwo, true);
}

void playGauntlet(Game& game)
{
    Fighter& challenger = game.fighterOne;
    Fighter& boss = game.fighterTwo;
    for (std::uint32_t number = 1; boss.hp != 0; ++number) {
        challenger.isBoss = false;
        writeText(game.console, "\nGracz%lu:\n", number);
        if (askName(game, challenger) == emptyAnswerLength) {
            writeText(game.console, "\n%s wygrywa.\n\n", boss.name);
            return;
        }
        askFighter(game, challenger, false);
        writeText(game.console, "\n\nWALKA:\n\n");
        runDuel(challenger, boss, challengerHp, game.dice, game.console);
        game.console.readKey();
    }
}

}  // namespace zorvanty
