// The terminal a Unix player expects: one keystroke is one key, keys typed while the game
// is busy wait unseen, the terminal comes back as it was found whatever ends the game, a
// stop and `fg` are survived, and input that can never come ends the game at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "tests/pty_game.h"
#include "tests/pty_session.h"

namespace zorvanty::e2e {
namespace {

::testing::AssertionResult modeIsAsFound(const PtySession& game)
{
    const auto now = game.modeNow();
    if (!now) return ::testing::AssertionFailure() << "the terminal's mode cannot be read";
    if (sameMode(*now, game.initialMode())) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the terminal was left as " << describeMode(*now) << "\n    but was found as "
                                         << describeMode(game.initialMode());
}

// Starts a game and waits at the menu.
::testing::AssertionResult toTheMenu(PtySession& game)
{
    if (!game.started()) return ::testing::AssertionFailure() << game.failure();
    if (auto r = game.expect(titleAndMenu(heartOnTerminal)); !r) return r;
    return game.waitForKeyRead();
}

// The first prompt of each mode's family tells which family the menu chose.
const std::string duelChosen = "\nGracz1:\nnazwa: ";
const std::string bossChosen = "\nboss:\nnazwa: ";
const std::string simulationChosen = "\nliczba symulacji: ";

// Answers each prompt in turn once it shows and the game reads the line.
::testing::AssertionResult answer(PtySession& game, const std::vector<std::pair<std::string, std::string>>& dialogue)
{
    for (const auto& [prompt, line] : dialogue) {
        if (auto r = game.waitFor(prompt); !r) return r;
        if (auto r = game.typeLine(line); !r) return r;
    }
    return ::testing::AssertionSuccess();
}

// The numbers of a simulation after its count.
::testing::AssertionResult answerSimulation(PtySession& game, const std::string& duels)
{
    return answer(game, {{"liczba symulacji: ", duels},
                         {"atak:  ", "3"},
                         {"obrona:", "2"},
                         {"atak:  ", "4"},
                         {"obrona:", "1"}});
}

// Starts a simulation of `duels` duels between two fighters, up to "SYMULACJA:".
::testing::AssertionResult startSimulation(PtySession& game, const std::string& duels)
{
    if (auto r = toTheMenu(game); !r) return r;
    game.send("e");
    if (auto r = answerSimulation(game, duels); !r) return r;
    return game.waitFor("\nSYMULACJA:");
}

// ---- one keystroke is one key ----

struct MenuKeyCase {
    const char* what;
    std::string keystroke;
    std::string then;    // a real menu key after it
    std::string chosen;  // the prompt that key leads to
};

void PrintTo(const MenuKeyCase& c, std::ostream* out) { *out << c.what; }

class KeysWithoutACharacter : public ::testing::TestWithParam<MenuKeyCase> {};

// Each sequence ends in a byte that is a menu letter on its own; the key after it is
// from another family of modes, so a leaked letter shows in the prompt that follows.
TEST_P(KeysWithoutACharacter, ChooseNothingAtTheMenu)
{
    const MenuKeyCase& c = GetParam();
    PtySession game;
    ASSERT_TRUE(toTheMenu(game));
    game.send(c.keystroke);
    ASSERT_TRUE(game.pressKey(c.then));
    EXPECT_TRUE(game.expect(c.chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Menu, KeysWithoutACharacter,
    ::testing::Values(MenuKeyCase{"cursor up, ESC [ A", "\x1b[A", "c", bossChosen},
                      MenuKeyCase{"cursor down, ESC [ B", "\x1b[B", "e", simulationChosen},
                      MenuKeyCase{"cursor right, ESC [ C", "\x1b[C", "a", duelChosen},
                      MenuKeyCase{"cursor left, ESC [ D", "\x1b[D", "a", duelChosen},
                      MenuKeyCase{"End, ESC [ F", "\x1b[F", "c", bossChosen},
                      MenuKeyCase{"End in application mode, ESC O F", "\x1bOF", "c", bossChosen},
                      MenuKeyCase{"up in application mode, ESC O A", "\x1bOA", "e", simulationChosen},
                      MenuKeyCase{"keypad 5, ESC [ E", "\x1b[E", "a", duelChosen},
                      MenuKeyCase{"F1, ESC O P", "\x1bOP", "a", duelChosen},
                      MenuKeyCase{"F7, ESC [ 1 8 ~", "\x1b[18~", "c", bossChosen},
                      MenuKeyCase{"Ctrl-Right, ESC [ 1 ; 5 C", "\x1b[1;5C", "e", simulationChosen},
                      MenuKeyCase{"F5 of the Linux console, ESC [ [ E", "\x1b[[E", "a", duelChosen},
                      MenuKeyCase{"Alt-up, ESC ESC [ A", "\x1b\x1b[A", "e", simulationChosen},
                      MenuKeyCase{"Alt-a, ESC a", "\x1b" "a", "c", bossChosen},
                      MenuKeyCase{"several keys at once", "\x1b[A\x1b[B\x1b[F\x1bOP\x1b[24~", "e",
                                  simulationChosen}));

// Every pause of a watched duel waits for one key: a Polish letter of two bytes, an arrow,
// a function key or a lone Escape each pass exactly one, so the rounds shown are one
// fewer than the keys pressed (the last key passes the pause after the winner). A key
// counts as tried when it started a round; a duel that ends first leaves the rest of the
// keys to the next game.
TEST(Keystrokes, EachPassesExactlyOnePause)
{
    PtySession game;
    ASSERT_TRUE(toTheMenu(game));
    const std::vector<std::string> keys = {"\xC4\x85", "\x1b[A", "\x1b[18~", "\x1bOP", "\x1b",
                                           "\xC5\xBC", "\x1b[1;5C", "\xE2\x82\xAC"};
    std::size_t tried = 0;
    for (int games = 1; tried < keys.size(); ++games) {
        ASSERT_LE(games, 20) << "the duels keep ending before the keys are tried";
        if (games > 1) {
            ASSERT_TRUE(game.pressKey("t"));
            ASSERT_TRUE(game.expect(menu(heartOnTerminal)));
        }
        ASSERT_TRUE(game.pressKey("b"));
        ASSERT_TRUE(game.expect(duelChosen));
        // Fighters that can only wound each other with critical hits, and three hit
        // points: duels of many rounds.
        ASSERT_TRUE(answer(game, {{"", "Ork"},
                                  {"atak:  ", "0"},
                                  {"obrona:", "100"},
                                  {"nazwa: ", "Elf"},
                                  {"atak:  ", "0"},
                                  {"obrona:", "100"}}));
        ASSERT_TRUE(game.waitFor("\nWALKA:\n\n"));
        const std::size_t duelStart = game.cursor();

        const std::vector<std::string> untried(keys.begin() + static_cast<std::ptrdiff_t>(tried), keys.end());
        PauseWalk walk;
        ASSERT_TRUE(pressThroughPauses(game, {"Jeszcze raz? (T/N)"}, walk, untried));
        const std::string_view duel = std::string_view(game.transcript()).substr(duelStart);
        Contender ork{"Ork", 0, 100};
        Contender elf{"Elf", 0, 100};
        int rounds = 0;
        ASSERT_TRUE(checkNarration(duel.substr(0, duel.size() - walk.stop.size()), ork, elf, 3, rounds));
        EXPECT_EQ(walk.presses, rounds + 1) << "keys " << tried << " on";
        tried += std::min(static_cast<std::size_t>(rounds), untried.size());
        ASSERT_TRUE(game.waitFor(walk.stop));
    }
    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
}

// ---- keys typed while the game is busy ----

struct TypeAheadCase {
    const char* what;
    std::string first;   // ends the pause after the report
    std::string second;  // answers the replay question
};

void PrintTo(const TypeAheadCase& c, std::ostream* out) { *out << c.what; }

class TypedDuringASimulation : public ::testing::TestWithParam<TypeAheadCase> {};

TEST_P(TypedDuringASimulation, KeysAreNeitherEchoedNorLost)
{
    const TypeAheadCase& c = GetParam();
    PtySession game;
    // Forty million duels take a while, even in a fast build.
    ASSERT_TRUE(startSimulation(game, "40000000"));
    ASSERT_TRUE(game.quiet());
    const std::size_t sentAt = game.transcript().size();
    game.send(c.first + c.second);
    // More progress after the keys went out: they were typed while the duels ran.
    ASSERT_TRUE(game.waitUntil([&] {
        return std::count(game.transcript().begin() + static_cast<std::ptrdiff_t>(sentAt), game.transcript().end(),
                          '.') >= 5;
    }));
    ASSERT_TRUE(game.quiet()) << "the simulation ended before the keys could be typed during it";

    // No key more: the first passes the report, the second answers the question.
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
    std::string_view rest = game.unread();
    while (rest.starts_with(".")) rest.remove_prefix(1);
    const std::size_t report = reportLength(rest);
    ASSERT_GT(report, 0u) << "no report right after the dots: " << visible(rest);
    EXPECT_EQ(visible(rest.substr(report)), "Jeszcze raz? (T/N)") << "the keys showed, or the game went on";
    EXPECT_TRUE(modeIsAsFound(game));
}

INSTANTIATE_TEST_SUITE_P(
    Simulation, TypedDuringASimulation,
    ::testing::Values(TypeAheadCase{"a letter, then N", "x", "n"},
                      TypeAheadCase{"a Polish letter, then capital N", "\xC4\x85", "N"},
                      TypeAheadCase{"an arrow, then N", "\x1b[B", "n"}));

// ---- the terminal handed back ----

struct SignalCase {
    const char* what;
    bool duringSimulation;  // else at the menu, while a key is read in raw mode
    int signal;
    std::string typed;  // typed at the keyboard instead of sent with kill, when not empty
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.what; }

class EndedBySignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(EndedBySignal, DiesOfItWithTheTerminalAsFound)
{
    const SignalCase& c = GetParam();
    PtySession game;
    if (c.duringSimulation) {
        // As many duels as a count can hold: this never ends by itself.
        ASSERT_TRUE(startSimulation(game, "-1"));
        ASSERT_TRUE(game.quiet());
    } else {
        ASSERT_TRUE(toTheMenu(game));
    }
    if (c.typed.empty())
        game.signal(c.signal);
    else
        game.send(c.typed);
    EXPECT_EQ(game.waitForExit(), killedBy(c.signal));
    EXPECT_TRUE(modeIsAsFound(game));
}

INSTANTIATE_TEST_SUITE_P(
    Signals, EndedBySignal,
    ::testing::Values(SignalCase{"SIGTERM while a key is read", false, SIGTERM, ""},
                      SignalCase{"SIGINT while a key is read", false, SIGINT, ""},
                      SignalCase{"SIGHUP while a key is read", false, SIGHUP, ""},
                      SignalCase{"SIGQUIT while a key is read", false, SIGQUIT, ""},
                      SignalCase{"SIGTERM during a simulation", true, SIGTERM, ""},
                      SignalCase{"Ctrl-C typed during a simulation", true, SIGINT, "\x03"},
                      SignalCase{"Ctrl-\\ typed during a simulation", true, SIGQUIT, "\x1c"}));

// Ctrl-C at the menu is a key like any other (the code 3), and chooses nothing.
TEST(CtrlC, IsAKeyWhileAKeyIsRead)
{
    PtySession game;
    ASSERT_TRUE(toTheMenu(game));
    game.send("\x03");
    ASSERT_TRUE(game.pressKey("e"));
    EXPECT_TRUE(game.expect(simulationChosen));
}

// Under job control, a stop hands the terminal back as it was found, and `fg` takes it
// again: whether the game was reading a key (raw mode) or a line.
TEST(StopAndContinue, TheGameWorksOnAfterFg)
{
    SessionOptions options;
    options.jobControl = true;
    PtySession game(options);
    ASSERT_TRUE(toTheMenu(game));

    game.signal(SIGTSTP);
    ASSERT_TRUE(game.waitForStop());
    EXPECT_TRUE(modeIsAsFound(game)) << "stopped while reading a key";
    game.resume();
    ASSERT_TRUE(game.pressKey("e"));
    ASSERT_TRUE(game.waitFor(simulationChosen));

    ASSERT_TRUE(game.waitForLineRead());
    game.send("\x1a");  // Ctrl-Z while a line is typed
    ASSERT_TRUE(game.waitForStop());
    EXPECT_TRUE(modeIsAsFound(game)) << "stopped while reading a line";
    game.resume();
    ASSERT_TRUE(answer(game, {{"", "1000"}, {"atak:  ", "3"}, {"obrona:", "2"}, {"atak:  ", "4"}, {"obrona:", "1"}}));
    ASSERT_TRUE(game.waitFor("\nSYMULACJA:"));
    ASSERT_TRUE(game.pressKey(" "));
    ASSERT_TRUE(game.waitFor("Jeszcze raz? (T/N)"));
    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
    EXPECT_TRUE(modeIsAsFound(game));
}

// ---- the end of input ----

// Ctrl-D at a terminal ends one read, not the game: the boss keeps the empty name it had.
TEST(CtrlD, AtAPromptDoesNotEndTheGame)
{
    PtySession game;
    ASSERT_TRUE(toTheMenu(game));
    game.send("c");
    ASSERT_TRUE(game.expect(bossChosen));
    ASSERT_TRUE(game.waitForLineRead());
    game.send("\x04");
    ASSERT_TRUE(answer(game, {{"atak:  ", "1"}, {"obrona:", "1"}, {"\nGracz1:\nnazwa: ", ""}}));
    ASSERT_TRUE(game.expect("\n\n wygrywa.\n\nJeszcze raz? (T/N)"));
    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
}

struct UsedUpCase {
    const char* what;
    Stdin from;
};

void PrintTo(const UsedUpCase& c, std::ostream* out) { *out << c.what; }

class LinesUsedUp : public ::testing::TestWithParam<UsedUpCase> {};

// Keys still come from the terminal, but no line can ever come again.
TEST_P(LinesUsedUp, EndTheGameAtOnceWithAMessage)
{
    SessionOptions options;
    options.stdinFrom = GetParam().from;
    options.closeStdinAtStart = true;
    PtySession game(options);
    ASSERT_TRUE(toTheMenu(game));
    game.send("a");
    ASSERT_TRUE(game.expect(duelChosen));
    EXPECT_EQ(game.waitForExit(), exitedWith(1));
    EXPECT_EQ(visible(game.unread()), visible("zorvanty: koniec danych wejsciowych.\n"));
    EXPECT_TRUE(modeIsAsFound(game));
}

INSTANTIATE_TEST_SUITE_P(Stdin, LinesUsedUp,
                         ::testing::Values(UsedUpCase{"a closed pipe", Stdin::Pipe},
                                           UsedUpCase{"an empty file", Stdin::File}));

struct HangUpCase {
    const char* what;
    bool sighupIgnored;
    ExitStatus status;
};

void PrintTo(const HangUpCase& c, std::ostream* out) { *out << c.what; }

class TerminalHangsUp : public ::testing::TestWithParam<HangUpCase> {};

// No key can come from a terminal that hung up: the game ends instead of waiting on it,
// by SIGHUP as usual, or, when SIGHUP is ignored (nohup), by giving up on the keys.
TEST_P(TerminalHangsUp, WhileAKeyIsRead)
{
    SessionOptions options;
    if (GetParam().sighupIgnored) options.ignoredSignals = {SIGHUP};
    PtySession game(options);
    ASSERT_TRUE(toTheMenu(game));
    game.hangUp();
    EXPECT_EQ(game.waitForExit(), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(HangUp, TerminalHangsUp,
                         ::testing::Values(HangUpCase{"SIGHUP at its default", false, killedBy(SIGHUP)},
                                           HangUpCase{"SIGHUP ignored", true, exitedWith(1)}));

}  // namespace
}  // namespace zorvanty::e2e
