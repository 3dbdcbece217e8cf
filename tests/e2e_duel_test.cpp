// The watched duel played in a terminal, from the title to N, as a person plays it.

#include <gtest/gtest.h>

#include <csignal>

#include "tests/pty_game.h"
#include "tests/pty_session.h"

namespace zorvanty::e2e {
namespace {

struct DuelCase {
    const char* what;
    std::string modeKey;
    std::uint16_t startHp;
    Contender one;
    Contender two;
};

void PrintTo(const DuelCase& c, std::ostream* out) { *out << c.what; }

class WatchedDuel : public ::testing::TestWithParam<DuelCase> {};

TEST_P(WatchedDuel, FromTheTitleToN)
{
    DuelCase c = GetParam();
    PtySession game;
    ASSERT_TRUE(game.started()) << game.failure();

    ASSERT_TRUE(game.expect(titleAndMenu(heartOnTerminal)));
    ASSERT_TRUE(game.pressKey(c.modeKey));
    // The mode key is not echoed: the player prompts follow the menu at once. Typed
    // answers are echoed as typed.
    for (const auto& [label, fighter] : {std::pair{"\nGracz1:\n", &c.one}, std::pair{"\nGracz2:\n", &c.two}}) {
        ASSERT_TRUE(game.expect(std::string(label) + "nazwa: "));
        ASSERT_TRUE(game.typeLine(fighter->name));
        ASSERT_TRUE(game.expect(fighter->name + "\natak:  "));
        ASSERT_TRUE(game.typeLine(std::to_string(fighter->attack)));
        ASSERT_TRUE(game.expect(std::to_string(fighter->attack) + "\nobrona:"));
        ASSERT_TRUE(game.typeLine(std::to_string(fighter->defense)));
        ASSERT_TRUE(game.expect(std::to_string(fighter->defense) + "\n"));
    }
    ASSERT_TRUE(game.expect("\n\nWALKA:\n\n"));
    const std::size_t duelStart = game.cursor();

    PauseWalk walk;
    ASSERT_TRUE(pressThroughPauses(game, {"Jeszcze raz? (T/N)"}, walk));
    const std::string_view duel = std::string_view(game.transcript()).substr(duelStart);
    ASSERT_TRUE(duel.starts_with("RUNDA 1\n\nAtakuje " + c.one.name + "\n Atak:  ")) << visible(duel);
    ASSERT_TRUE(duel.ends_with(" wygrywa.\n\nJeszcze raz? (T/N)")) << visible(duel);
    int rounds = 0;
    EXPECT_TRUE(checkNarration(duel.substr(0, duel.size() - 18), c.one, c.two, c.startHp, rounds));
    // One key before each round and one after the last.
    EXPECT_EQ(walk.presses, rounds + 1);

    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
    EXPECT_TRUE(game.unread().ends_with("Jeszcze raz? (T/N)")) << "written after N: " << visible(game.unread());
    const auto after = game.modeNow();
    ASSERT_TRUE(after);
    EXPECT_TRUE(sameMode(*after, game.initialMode())) << "left " << describeMode(*after) << "\nfound "
                                                      << describeMode(game.initialMode());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WatchedDuel,
    ::testing::Values(DuelCase{"mode A, two hit points", "a", 2, {"Ork", 3, 2}, {"Elf", 2, 4}},
                      // A capital chooses as well; names with blanks, a percent sign and a
                      // Polish letter are shown as typed.
                      DuelCase{"mode B by capital, three hit points", "B", 3, {"Stary Wilk 100%", 1, 1},
                               {"Zo\xC5\x82nierz", 0, 3}}));

// Answers from a file, keys from the terminal: each time the game drops what it has read
// ahead it goes back in the file, so the second game still finds its answers.
TEST(AnswersFromAFile, NoAnswerIsLostBetweenGames)
{
    SessionOptions options;
    options.stdinFrom = Stdin::File;
    options.stdinBytes = "Ork\n3\n2\nElf\n2\n4\n"  // a watched duel
                         "Smok\n5\n5\n\n";        // a boss, and no challenger
    PtySession game(options);
    ASSERT_TRUE(game.started()) << game.failure();

    ASSERT_TRUE(game.expect(titleAndMenu(heartOnTerminal)));
    ASSERT_TRUE(game.pressKey("a"));
    // Lines from a file are not echoed.
    ASSERT_TRUE(game.expect("\nGracz1:\nnazwa: atak:  obrona:\nGracz2:\nnazwa: atak:  obrona:\n\nWALKA:\n\n"));
    const std::size_t duelStart = game.cursor();
    PauseWalk walk;
    ASSERT_TRUE(pressThroughPauses(game, {"Jeszcze raz? (T/N)"}, walk));
    Contender ork{"Ork", 3, 2};
    Contender elf{"Elf", 2, 4};
    int rounds = 0;
    const std::string_view duel = std::string_view(game.transcript()).substr(duelStart);
    EXPECT_TRUE(checkNarration(duel.substr(0, duel.size() - 18), ork, elf, 2, rounds));
    ASSERT_TRUE(game.waitFor("Jeszcze raz? (T/N)"));

    ASSERT_TRUE(game.pressKey("t"));
    ASSERT_TRUE(game.expect(menu(heartOnTerminal)));
    ASSERT_TRUE(game.pressKey("c"));
    ASSERT_TRUE(game.expect("\nboss:\nnazwa: atak:  obrona:\nGracz1:\nnazwa: \nSmok wygrywa.\n\nJeszcze raz? (T/N)"));
    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
}

}  // namespace
}  // namespace zorvanty::e2e
