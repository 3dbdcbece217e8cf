// The boss gauntlet and the simulation played in a terminal, and whole games played from
// a pipe or a file with no terminal at all.

#include <gtest/gtest.h>

#include "tests/pty_game.h"
#include "tests/pty_session.h"

namespace zorvanty::e2e {
namespace {

// Takes the next fighter's prompts in a terminal and types the answers; the name only
// when `withName`.
::testing::AssertionResult enter(PtySession& game, const Contender& who, bool withName)
{
    if (withName) {
        if (auto r = game.expect("nazwa: "); !r) return r;
        if (auto r = game.typeLine(who.name); !r) return r;
        if (auto r = game.expect(who.name + "\n"); !r) return r;
    }
    const std::string attack = std::to_string(who.attack);
    const std::string defense = std::to_string(who.defense);
    if (auto r = game.expect("atak:  "); !r) return r;
    if (auto r = game.typeLine(attack); !r) return r;
    if (auto r = game.expect(attack + "\nobrona:"); !r) return r;
    if (auto r = game.typeLine(defense); !r) return r;
    return game.expect(defense + "\n");
}

// ---- the boss gauntlet ----

struct GauntletCase {
    const char* what;
    std::string modeKey;
    std::uint16_t bossHp;
};

void PrintTo(const GauntletCase& c, std::ostream* out) { *out << c.what; }

class Gauntlet : public ::testing::TestWithParam<GauntletCase> {};

// Challengers step up until the boss falls or an empty name hands it the victory; the
// boss keeps its wounds from one duel to the next.
TEST_P(Gauntlet, ChallengersUntilTheBossFallsOrNoneIsLeft)
{
    const GauntletCase& c = GetParam();
    PtySession game;
    ASSERT_TRUE(game.started()) << game.failure();
    ASSERT_TRUE(game.expect(titleAndMenu(heartOnTerminal)));
    ASSERT_TRUE(game.pressKey(c.modeKey));

    Contender boss{"Smok", 20, 20, true, c.bossHp};
    ASSERT_TRUE(game.expect("\nboss:\n"));
    ASSERT_TRUE(enter(game, boss, true));

    // A challenger that can only win by critical hits, and loses to any hit of the boss.
    for (std::uint32_t number = 1;; ++number) {
        ASSERT_LE(number, 2u) << "a third challenger was asked for";
        ASSERT_TRUE(game.expect("\nGracz" + std::to_string(number) + ":\nnazwa: "));
        if (number == 2) {
            // No more challengers: an empty name, and the boss wins without a duel.
            ASSERT_TRUE(game.typeLine(""));
            ASSERT_TRUE(game.expect("\n\nSmok wygrywa.\n\nJeszcze raz? (T/N)"));
            break;
        }
        Contender knight{"Rycerz", 0, 0};
        ASSERT_TRUE(game.typeLine(knight.name));
        ASSERT_TRUE(game.expect(knight.name + "\n"));
        ASSERT_TRUE(enter(game, knight, false));
        ASSERT_TRUE(game.expect("\n\nWALKA:\n\n"));
        const std::size_t duelStart = game.cursor();
        PauseWalk walk;
        const std::string nextChallenger = "\nGracz" + std::to_string(number + 1) + ":\nnazwa: ";
        ASSERT_TRUE(pressThroughPauses(game, {nextChallenger, "Jeszcze raz? (T/N)"}, walk));
        const std::string_view duel =
            std::string_view(game.transcript()).substr(duelStart, game.transcript().size() - duelStart - walk.stop.size());
        int rounds = 0;
        ASSERT_TRUE(checkNarration(duel, knight, boss, 1, rounds));
        EXPECT_EQ(walk.presses, rounds + 1);
        // Only a boss without hit points ends the line of challengers.
        game.skip(duel.size());
        if (boss.hp == 0) {
            ASSERT_EQ(walk.stop, "Jeszcze raz? (T/N)");
            ASSERT_TRUE(game.expect(walk.stop));
            break;
        }
        ASSERT_EQ(walk.stop, nextChallenger);
    }
    ASSERT_TRUE(game.pressKey("N"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
}

INSTANTIATE_TEST_SUITE_P(Modes, Gauntlet,
                         ::testing::Values(GauntletCase{"mode C, a boss of two hit points", "c", 2},
                                           GauntletCase{"mode D, a boss of three hit points", "D", 3}));

// ---- the simulation ----

struct SimulationCase {
    const char* what;
    std::string modeKey;
    std::string duels;
    std::string dots;
};

void PrintTo(const SimulationCase& c, std::ostream* out) { *out << c.what; }

class Simulation : public ::testing::TestWithParam<SimulationCase> {};

TEST_P(Simulation, ReportsAfterOneDotPer65536Duels)
{
    const SimulationCase& c = GetParam();
    PtySession game;
    ASSERT_TRUE(game.started()) << game.failure();
    ASSERT_TRUE(game.expect(titleAndMenu(heartOnTerminal)));
    ASSERT_TRUE(game.pressKey(c.modeKey));
    ASSERT_TRUE(game.expect("\nliczba symulacji: "));
    ASSERT_TRUE(game.typeLine(c.duels));
    ASSERT_TRUE(game.expect(c.duels + "\n"));
    // The simulation asks for no names.
    ASSERT_TRUE(game.expect("\nGracz1:\n"));
    ASSERT_TRUE(enter(game, Contender{"", 3, 2}, false));
    ASSERT_TRUE(game.expect("\nGracz2:\n"));
    ASSERT_TRUE(enter(game, Contender{"", 4, 1}, false));
    ASSERT_TRUE(game.expect("\n\nSYMULACJA:" + c.dots));
    ASSERT_TRUE(game.waitForKeyRead());
    ASSERT_TRUE(game.waitUntil([&] { return reportLength(game.unread()) > 0; })) << visible(game.unread());
    const std::string report(game.unread().substr(0, reportLength(game.unread())));
    EXPECT_TRUE(checkReport(report));
    ASSERT_TRUE(game.expect(report));
    EXPECT_EQ(game.unread(), "") << "the game goes on without the key";
    ASSERT_TRUE(game.pressKey("x"));
    ASSERT_TRUE(game.expect("Jeszcze raz? (T/N)"));
    ASSERT_TRUE(game.pressKey("n"));
    EXPECT_EQ(game.waitForExit(), exitedWith(0));
}

INSTANTIATE_TEST_SUITE_P(Modes, Simulation,
                         ::testing::Values(SimulationCase{"mode E, 131072 duels: two dots", "e", "131072", ".."},
                                           SimulationCase{"mode F, 65535 duels: no dot", "F", "65535", ""},
                                           SimulationCase{"mode E, 65536 duels: one dot", "E", "65536", "."}));

// ---- whole games with no terminal ----

const std::string pipeMenu = titleAndMenu(heartByte);
constexpr std::string_view noMoreKeys = "zorvanty: brak klawiatury, nie ma skad czytac klawiszy.\n";
constexpr std::string_view noMoreLines = "zorvanty: koniec danych wejsciowych.\n";
// Stands in the expected output for the simulation report, whose figures depend on the dice.
constexpr std::string_view aReport = "<report>";

struct PipeScript {
    const char* what;
    std::string input;
    std::string out;  // with at most one aReport
    std::string err;
    ExitStatus status;
};

void PrintTo(const PipeScript& s, std::ostream* out) { *out << s.what; }

const std::string simulationEntry =
    "\nliczba symulacji: \nGracz1:\natak:  obrona:\nGracz2:\natak:  obrona:\n\nSYMULACJA:";
std::string bossAlone(const std::string& name)
{
    return "\nboss:\nnazwa: atak:  obrona:\nGracz1:\nnazwa: \n" + name + " wygrywa.\n\n";
}
const std::string bossWithoutChallengers = bossAlone("Smok");

const PipeScript pipeScripts[] = {
    {"a simulation, a key after the report, then N", "e1000\n3\n2\n4\n1\n n",
     pipeMenu + simulationEntry + std::string(aReport) + "Jeszcze raz? (T/N)", "", exitedWith(0)},
    {"a gauntlet without challengers, then N", "cSmok\n5\n5\n\nn",
     pipeMenu + bossWithoutChallengers + "Jeszcze raz? (T/N)", "", exitedWith(0)},
    {"two games, then N", "cSmok\n5\n5\n\ntcHydra\n1\n1\n\nN",
     pipeMenu + bossWithoutChallengers + "Jeszcze raz? (T/N)" + menu(heartByte) + bossAlone("Hydra") +
         "Jeszcze raz? (T/N)",
     "", exitedWith(0)},
    {"input runs dry at a key", "e1000\n3\n2\n4\n1\n", pipeMenu + simulationEntry + std::string(aReport),
     std::string(noMoreKeys), exitedWith(1)},
    {"input runs dry at the replay question", "cSmok\n5\n5\n\n",
     pipeMenu + bossWithoutChallengers + "Jeszcze raz? (T/N)", std::string(noMoreKeys), exitedWith(1)},
    {"input runs dry at a line", "cSmok\n5\n5\n", pipeMenu + "\nboss:\nnazwa: atak:  obrona:\nGracz1:\nnazwa: ",
     std::string(noMoreLines), exitedWith(1)},
    {"no input at all", "", pipeMenu, std::string(noMoreKeys), exitedWith(1)},
    // A last line without its line end is still an answer: one character, so an empty name.
    {"a last line without a line end", "cSmok\n5\n5\nX", pipeMenu + bossWithoutChallengers + "Jeszcze raz? (T/N)",
     std::string(noMoreKeys), exitedWith(1)},
};

class WithoutTerminal : public ::testing::TestWithParam<std::tuple<Stdin, PipeScript>> {};

TEST_P(WithoutTerminal, KeysAreBytesOfStandardInput)
{
    const auto& [from, script] = GetParam();
    const PlainRun run = runWithoutTerminal(from, script.input);
    ASSERT_TRUE(run.status) << "still running; output so far: " << visible(run.out);
    EXPECT_EQ(*run.status, script.status);
    EXPECT_EQ(visible(run.err), visible(script.err));
    const std::size_t at = script.out.find(aReport);
    if (at == std::string::npos) {
        EXPECT_EQ(visible(run.out), visible(script.out));
        return;
    }
    const std::string before = script.out.substr(0, at);
    const std::string after = script.out.substr(at + aReport.size());
    ASSERT_TRUE(std::string_view(run.out).starts_with(before)) << visible(run.out);
    ASSERT_TRUE(std::string_view(run.out).ends_with(after)) << visible(run.out);
    ASSERT_GE(run.out.size(), before.size() + after.size()) << visible(run.out);
    EXPECT_TRUE(checkReport(std::string_view(run.out).substr(before.size(), run.out.size() - before.size() - after.size())));
}

std::string scriptName(const ::testing::TestParamInfo<std::tuple<Stdin, PipeScript>>& info)
{
    std::string name = std::get<0>(info.param) == Stdin::Pipe ? "Pipe_" : "File_";
    for (const char* p = std::get<1>(info.param).what; *p; ++p)
        name += (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') ? *p : '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Scripts, WithoutTerminal,
                         ::testing::Combine(::testing::Values(Stdin::Pipe, Stdin::File),
                                            ::testing::ValuesIn(pipeScripts)),
                         scriptName);

}  // namespace
}  // namespace zorvanty::e2e
