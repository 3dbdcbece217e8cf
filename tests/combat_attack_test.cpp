#include <string>

#include <gtest/gtest.h>

#include "combat/attack.h"
#include "combat/narration.h"
#include "fighters.h"
#include "scripted_console.h"
#include "scripted_dice.h"

namespace zorvanty {
namespace {

using testing::makeFighter;
using testing::ScriptedConsole;

// Ork (attack 3) strikes Elf (defense 4); both start a duel with 2 hit points.
struct OneAttack : ::testing::Test {
    Fighter ork = makeFighter("Ork", 3, 2, 2);
    Fighter elf = makeFighter("Elf", 2, 4, 2);
    ScriptedConsole console;
    ConsoleNarration watched{console};
    std::uint8_t critStreak = 0;

    bool attack(Fighter& attacker, Fighter& defender, std::uint8_t attackDie, std::uint8_t defenseDie)
    {
        ScriptedDice dice{{attackDie, defenseDie}};
        return resolveAttack(attacker, defender, critStreak, dice, watched);
    }
    // The last line the attack wrote, without its blank line.
    std::string verdict() const
    {
        const auto end = console.transcript.rfind("\n\n");
        const auto begin = console.transcript.rfind('\n', end - 1) + 1;
        return console.transcript.substr(begin, end - begin);
    }
};

TEST_F(OneAttack, NarratesTheDiceBeforeTheValuesAndTheVerdict)
{
    EXPECT_FALSE(attack(ork, elf, 6, 5));
    EXPECT_EQ(console.transcript,
              "Atakuje Ork\n Atak:  6 + 3 = 9.\n Obrona:5 + 4 = 9.\nTrafia krytycznie, Elf ma 1 hp.\n\n");
    EXPECT_EQ(critStreak, 1);
}

struct FollowUp {
    std::uint8_t attackDie, defenseDie;
    const char* verdict;
    bool killed, maimed;
};

class AfterACriticalHit : public OneAttack, public ::testing::WithParamInterface<FollowUp> {};

TEST_P(AfterACriticalHit, TheNextAttackKillsMaimsOrMisses)
{
    const FollowUp& f = GetParam();
    ASSERT_FALSE(attack(ork, elf, 6, 5));
    const bool over = attack(ork, elf, f.attackDie, f.defenseDie);
    EXPECT_EQ(verdict(), f.verdict);
    EXPECT_EQ(over, f.killed || f.maimed);
    EXPECT_EQ(elf.killed, f.killed);
    EXPECT_EQ(elf.maimed, f.maimed);
    EXPECT_EQ(elf.hp, over ? 0 : 1);
    EXPECT_EQ(critStreak, f.killed ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, AfterACriticalHit,
    ::testing::Values(FollowUp{4, 1, "Trafia i okalecza, Ork wygrywa.", false, true},
                      FollowUp{6, 6, "Trafia krytycznie i zabija, Ork wygrywa.", true, false},
                      FollowUp{1, 5, "Nie trafia, Elf ma 1 hp.", false, false},
                      FollowUp{3, 2, "Nie trafia, Elf ma 1 hp.", false, false}));  // 6 against 6: a tie misses

TEST_F(OneAttack, ASixIsCriticalEvenBelowTheDefense)
{
    elf.defense = 60000;
    EXPECT_FALSE(attack(ork, elf, 6, 6));
    EXPECT_EQ(verdict(), "Trafia krytycznie, Elf ma 1 hp.");
}

TEST_F(OneAttack, EqualTotalsMiss)
{
    EXPECT_FALSE(attack(ork, elf, 5, 4));  // 5 + 3 against 4 + 4
    EXPECT_EQ(verdict(), "Nie trafia, Elf ma 2 hp.");
    EXPECT_EQ(elf.hp, 2);
}

TEST_F(OneAttack, AnOrdinaryHitTakesOneHitPoint)
{
    EXPECT_FALSE(attack(ork, elf, 5, 3));
    EXPECT_EQ(verdict(), "Trafia, Elf ma 1 hp.");
    EXPECT_TRUE(attack(ork, elf, 5, 3));
    EXPECT_EQ(verdict(), "Trafia, Ork wygrywa.");
    EXPECT_FALSE(elf.killed || elf.maimed);
}

TEST_F(OneAttack, SumsWrapAtSixteenBits)
{
    ork.attack = 65535;  // typed as -1
    elf.defense = 65534;
    EXPECT_FALSE(attack(ork, elf, 3, 1));  // 3 + 65535 = 2 against 1 + 65534 = 65535
    EXPECT_EQ(console.transcript,
              "Atakuje Ork\n Atak:  3 + 65535 = 2.\n Obrona:1 + 65534 = 65535.\nNie trafia, Elf ma 2 hp.\n\n");
}

TEST_F(OneAttack, TheBossKillsWithItsFirstCriticalHit)
{
    elf.isBoss = true;
    ork.hp = 1;
    EXPECT_TRUE(attack(elf, ork, 6, 1));
    EXPECT_EQ(verdict(), "Trafia krytycznie i zabija, Elf wygrywa.");
    EXPECT_TRUE(ork.killed);
    EXPECT_EQ(ork.hp, 0);
}

TEST_F(OneAttack, AChallengerNeedsTwoCriticalHitsInARowToKill)
{
    ork.hp = 1;  // the challenger
    elf.isBoss = true;
    elf.hp = 3;
    EXPECT_FALSE(attack(ork, elf, 6, 1));
    EXPECT_EQ(verdict(), "Trafia krytycznie, Elf ma 2 hp.");
    EXPECT_TRUE(attack(ork, elf, 6, 1));
    EXPECT_EQ(verdict(), "Trafia krytycznie i zabija, Ork wygrywa.");
}

TEST_F(OneAttack, AFirstCriticalHitOnTheLastHitPointLeavesZeroAndTheDuelGoesOn)
{
    elf.hp = 1;
    EXPECT_FALSE(attack(ork, elf, 6, 1));
    EXPECT_EQ(verdict(), "Trafia krytycznie, Elf ma 0 hp.");
    // A miss then still wins, plainly.
    EXPECT_TRUE(attack(ork, elf, 1, 6));
    EXPECT_EQ(verdict(), "Nie trafia, Ork wygrywa.");
    EXPECT_FALSE(elf.killed || elf.maimed);
    EXPECT_EQ(critStreak, 0);
}

TEST(SilentAttack, ChangesTheRecordsExactlyAsTheWatchedOne)
{
    for (std::uint8_t attackDie = 1; attackDie <= 6; ++attackDie) {
        for (std::uint8_t defenseDie = 1; defenseDie <= 6; ++defenseDie) {
            for (std::uint8_t streak = 0; streak <= 1; ++streak) {
                Fighter watchedA = makeFighter("A", 2, 3, 2), watchedB = makeFighter("B", 3, 2, 1);
                Fighter silentA = watchedA, silentB = watchedB;
                std::uint8_t watchedStreak = streak, silentStreak = streak;
                ScriptedConsole console;
                ConsoleNarration watched{console};
                SilentNarration silent;
                ScriptedDice d1{{attackDie, defenseDie}}, d2{{attackDie, defenseDie}};
                const bool watchedOver = resolveAttack(watchedA, watchedB, watchedStreak, d1, watched);
                const bool silentOver = resolveAttack(silentA, silentB, silentStreak, d2, silent);
                EXPECT_EQ(watchedOver, silentOver);
                EXPECT_EQ(watchedStreak, silentStreak);
                EXPECT_EQ(watchedB.hp, silentB.hp);
                EXPECT_EQ(watchedB.killed, silentB.killed);
                EXPECT_EQ(watchedB.maimed, silentB.maimed);
                EXPECT_FALSE(console.transcript.empty());
            }
        }
    }
}

}  // namespace
}  // namespace zorvanty
