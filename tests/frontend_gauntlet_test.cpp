#include <string>

#include <gtest/gtest.h>

#include "combat/duel.h"
#include "frontend/gauntlet.h"
#include "game_fixture.h"
#include "scripted_dice.h"

namespace zorvanty {
namespace {

using testing::GameFixture;
using testing::makeFighter;
using testing::occurrences;
using testing::ScriptedConsole;
using testing::titleAndMenu;

using Gauntlet = GameFixture;

TEST_F(Gauntlet, AnEmptyFirstChallengerHandsTheBossTheVictoryAtOnce)
{
    console.keys = "cn";
    console.type("Smok\n5\n6\n\n");
    ASSERT_TRUE(play());
    EXPECT_EQ(console.transcript, titleAndMenu +
                                      "\nboss:\nnazwa: atak:  obrona:"
                                      "\nGracz1:\nnazwa: \nSmok wygrywa.\n\nJeszcze raz? (T/N)");
    EXPECT_EQ(console.keysRead, 2);  // no duel, no pause
    EXPECT_TRUE(game.fighterTwo.isBoss);
    EXPECT_EQ(game.fighterTwo.hp, 2);
}

TEST_F(Gauntlet, AnEmptyBossNameIsAccepted)
{
    console.keys = "dn";
    console.type("\n5\n6\n\n");
    ASSERT_TRUE(play());
    EXPECT_NE(console.transcript.find("\nGracz1:\nnazwa: \n wygrywa.\n\n"), std::string::npos);
    EXPECT_EQ(game.fighterTwo.hp, 3);
}

// A seed whose first attack is an ordinary hit: the attack die beats the defense die
// without being a six (both fighters add nothing).
std::uint32_t seedWithAPlainFirstHit()
{
    for (std::uint32_t seed = 1;; ++seed) {
        Lcg probe{seed};
        const auto attackDie = rollDie(probe);
        const auto defenseDie = rollDie(probe);
        if (attackDie != 6 && attackDie > defenseDie) return seed;
    }
}

TEST_F(Gauntlet, TheBossCarriesItsWoundsToTheNextChallenger)
{
    // The boss of mode D always hits back (attack 100), so challenger 1, once it has
    // wounded it, falls in round 2; then challenger 2 is asked for.
    dice.state = seedWithAPlainFirstHit();
    console.keys = "d" + std::string(3, ' ');
    console.type("Smok\n100\n0\nRycerz\n0\n0\n");
    EXPECT_FALSE(play());  // the script ends at challenger 2's name
    const std::string& t = console.transcript;
    EXPECT_NE(t.find("\nGracz1:\nnazwa: atak:  obrona:\n\nWALKA:\n\nRUNDA 1\n\nAtakuje Rycerz\n"), std::string::npos);
    EXPECT_NE(t.find("Trafia, Smok ma 2 hp.\n\nRUNDA 2\n\nAtakuje Smok\n"), std::string::npos);
    EXPECT_EQ(occurrences(t, "Smok wygrywa.\n\n"), 1u);
    EXPECT_EQ(t.substr(t.size() - 16), "\nGracz2:\nnazwa: ");
    EXPECT_EQ(game.fighterTwo.hp, 2);
    EXPECT_EQ(game.fighterOne.hp, 0);
    EXPECT_EQ(console.keysRead, 4);  // menu, two rounds, the key after the duel
}

TEST_F(Gauntlet, ABlankIsANameAndTheChallengerFights)
{
    console.keys = "c" + std::string(400, ' ');
    console.type("Smok\n0\n0\n \n0\n0\n");
    play();
    EXPECT_NE(console.transcript.find("\nGracz1:\nnazwa: atak:  obrona:\n\nWALKA:\n\nRUNDA 1\n\nAtakuje  \n"),
              std::string::npos);
}

TEST_F(Gauntlet, ANameThatBeginsWithAZeroByteIsEmptyButFights)
{
    console.keys = "c" + std::string(400, ' ');
    console.type("Smok\n0\n0\n" + std::string("\0abc\n", 5) + "0\n0\n");
    play();
    EXPECT_NE(console.transcript.find("\n\nWALKA:\n\nRUNDA 1\n\nAtakuje \n"), std::string::npos);
}

TEST_F(Gauntlet, EndsWithoutAskingAgainOnceTheBossHasFallen)
{
    // Challengers that cannot miss (attack 100) and are hit by nothing but a six (defense
    // 60000): the line ends with a challenger's win, and the next key goes to the replay.
    console.keys = "c" + std::string(400, ' ') + "n";
    console.type("Smok\n0\n0\n");
    for (int i = 0; i < 50; ++i) console.type("Rycerz\n100\n60000\n");
    ASSERT_TRUE(play());
    const std::string& t = console.transcript;
    const auto lastWin = t.rfind("Rycerz wygrywa.\n\n");
    ASSERT_NE(lastWin, std::string::npos);
    EXPECT_EQ(t.substr(lastWin), "Rycerz wygrywa.\n\nJeszcze raz? (T/N)");
    EXPECT_EQ(game.fighterTwo.hp, 0);
}

struct FollowUp {
    std::uint8_t attackDie, defenseDie;
    const char* verdict;
    bool killed, maimed;
};

class BossAtZero : public ::testing::TestWithParam<FollowUp> {};

// A challenger's first critical hit takes the boss's last hit point; the follow-up decides.
TEST_P(BossAtZero, TheChallengerStrikesAgainAndWinsWhateverItRolls)
{
    const FollowUp& f = GetParam();
    Fighter challenger = makeFighter("Rycerz", 0, 0), boss = makeFighter("Smok", 0, 0, 1, true);
    ScriptedDice dice{{6, 1, f.attackDie, f.defenseDie}};
    ScriptedConsole console;
    console.keys = "  ";
    ConsoleNarration watched{console};
    EXPECT_EQ(playDuel(challenger, boss, 1, dice, watched), 0);
    EXPECT_NE(console.transcript.find("Trafia krytycznie, Smok ma 0 hp.\n\nRUNDA 2\n\nAtakuje Rycerz\n"),
              std::string::npos);
    EXPECT_EQ(console.transcript.substr(console.transcript.rfind('\n', console.transcript.size() - 3) + 1),
              std::string(f.verdict) + "\n\n");
    EXPECT_EQ(boss.killed, f.killed);
    EXPECT_EQ(boss.maimed, f.maimed);
    EXPECT_EQ(boss.hp, 0);
}

INSTANTIATE_TEST_SUITE_P(Verdicts, BossAtZero,
                         ::testing::Values(FollowUp{6, 1, "Trafia krytycznie i zabija, Rycerz wygrywa.", true, false},
                                           FollowUp{4, 1, "Trafia i okalecza, Rycerz wygrywa.", false, true},
                                           FollowUp{1, 4, "Nie trafia, Rycerz wygrywa.", false, false}));

}  // namespace
}  // namespace zorvanty
