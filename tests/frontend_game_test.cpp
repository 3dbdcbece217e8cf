#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "combat/duel.h"
#include "frontend/entry.h"
#include "game_fixture.h"
#include "scripted_console.h"

namespace zorvanty {
namespace {

using testing::GameFixture;
using testing::makeFighter;
using testing::occurrences;
using testing::ScriptedConsole;
using testing::titleAndMenu;

TEST(ModeForKey, TakesTheLettersAToFInEitherCaseAndNothingElse)
{
    const std::string letters = "abcdef";
    for (int key = 0; key < 256; ++key) {
        const auto mode = modeForKey(static_cast<std::uint8_t>(key));
        const auto small = letters.find(static_cast<char>(key));
        const auto capital = letters.find(static_cast<char>(key + 32));
        const bool isLetter = key != 0 && (small != std::string::npos || (key >= 'A' && key <= 'F'));
        ASSERT_EQ(mode.has_value(), isLetter) << "key " << key;
        if (!mode) continue;
        const auto index = small != std::string::npos ? small : capital;
        EXPECT_EQ(mode->kind, index < 2 ? ModeKind::Duel : index < 4 ? ModeKind::Boss : ModeKind::Simulation);
        EXPECT_EQ(mode->startHp, index % 2 == 0 ? 2 : 3);
    }
}

// The narration of the duel the game should have played: the same fighters on the same
// dice, on a console of its own.
std::string expectedDuel(Fighter one, Fighter two, std::uint16_t startHp, Lcg dice)
{
    ScriptedConsole console;
    console.keys = std::string(100000, ' ');
    runDuel(one, two, startHp, dice, console);
    return console.transcript;
}

using DuelGame = GameFixture;

TEST_F(DuelGame, GoesFromTheTitleThroughTheDuelToTheReplayQuestion)
{
    // Enter, a digit and G are passed over at the menu; spaces at the replay question too.
    console.keys = "\r\n7Gb" + std::string(2000, ' ') + "n";
    console.type("Ork\n3\n2\nElf\n2\n4\n");
    const Lcg seeded = dice;
    ASSERT_TRUE(play());

    const std::string entry =
        "\nGracz1:\nnazwa: atak:  obrona:\nGracz2:\nnazwa: atak:  obrona:\n\nWALKA:\n\n";
    const std::string duel = expectedDuel(makeFighter("Ork", 3, 2), makeFighter("Elf", 2, 4), 3, seeded);
    EXPECT_EQ(console.transcript, titleAndMenu + entry + duel + "Jeszcze raz? (T/N)");
    EXPECT_EQ(console.discards, 2);
    EXPECT_STREQ(game.fighterOne.name, "Ork");
    EXPECT_EQ(game.fighterTwo.defense, 4);
}

TEST_F(DuelGame, WaitsForOneKeyAfterTheDuel)
{
    // Exactly as many keys as the duel has rounds, plus the menu key: the game must stop
    // at the key after the duel, before the replay question.
    Fighter one = makeFighter("Ork", 3, 2), two = makeFighter("Elf", 2, 4);
    const std::string duel = expectedDuel(one, two, 2, dice);
    console.keys = "a" + std::string(occurrences(duel, "RUNDA "), ' ');
    console.type("Ork\n3\n2\nElf\n2\n4\n");
    EXPECT_FALSE(play());
    EXPECT_EQ(console.transcript.substr(console.transcript.size() - duel.size()), duel);
}

TEST_F(DuelGame, ReplaysWithoutTheTitleOnTAndEndsOnN)
{
    console.keys = "A" + std::string(500, ' ') + "xT" + "a" + std::string(500, ' ') + "N";
    console.type("Ork\n3\n2\nElf\n2\n4\n");
    console.type("Gnom\n1\n1\nTroll\n1\n1\n");
    ASSERT_TRUE(play());
    EXPECT_EQ(occurrences(console.transcript, "ZORVANTY 3000"), 1u);
    EXPECT_EQ(occurrences(console.transcript, " F - Symulacje - 3"), 2u);
    EXPECT_EQ(occurrences(console.transcript, "Jeszcze raz? (T/N)"), 2u);
    EXPECT_EQ(console.transcript.substr(console.transcript.size() - 18), "Jeszcze raz? (T/N)");
    EXPECT_STREQ(game.fighterTwo.name, "Troll");
}

TEST_F(DuelGame, ADuelAfterABossGameIsNoLongerAgainstABoss)
{
    console.keys = "c" + std::string("t") + "a" + std::string(500, ' ') + "n";
    console.type("Boss\n9\n9\n\n");           // the boss, then an empty challenger
    console.type("Ork\n0\n0\nElf\n0\n0\n");
    ASSERT_TRUE(play());
    EXPECT_FALSE(game.fighterTwo.isBoss);
    EXPECT_EQ(occurrences(console.transcript, "Elf wygrywa.") + occurrences(console.transcript, "Ork wygrywa."), 1u);
}

TEST_F(DuelGame, DropsTheRestOfAnOverlongAnswerAfterTheEntry)
{
    // The second fighter's defense line is 300 characters: the first 255 are the answer,
    // the rest of that line is gone before the duel, and the next typed line stays unread.
    console.keys = "a" + std::string(500, ' ') + "n";
    console.type("Ork\n3\n2\nElf\n2\n" + std::string(300, '4') + "\nleft\n");
    ASSERT_TRUE(play());
    EXPECT_EQ(console.discards, 2);
    EXPECT_EQ(game.fighterTwo.defense, static_cast<std::uint16_t>(parseNumber(std::string(255, '4').c_str())));
    EXPECT_EQ(pendingBytes(console.buffer), 0u);
    EXPECT_EQ(console.input.chunksLeft(), 1u);
}

}  // namespace
}  // namespace zorvanty
