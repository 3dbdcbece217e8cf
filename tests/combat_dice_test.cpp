#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "combat/dice.h"

namespace zorvanty {
namespace {

TEST(Dice, SeededWithOneDrawsTheKnownSequence)
{
    Lcg dice{1};
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 6; ++i) draws.push_back(draw(dice));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{16838, 5758, 10113, 17515, 31051, 5627}));

    Lcg again{1};
    std::vector<int> faces;
    for (int i = 0; i < 6; ++i) faces.push_back(rollDie(again));
    EXPECT_EQ(faces, (std::vector<int>{3, 5, 4, 2, 2, 6}));
}

TEST(Dice, FacesOneAndTwoAreAShadeMoreLikely)
{
    // 32768 draws, each once: faces 1 and 2 come 5462 times, the others 5461.
    std::vector<int> count(7, 0);
    for (std::uint32_t d = 0; d < 32768; ++d) ++count[faceOfDraw(d)];
    EXPECT_EQ(count, (std::vector<int>{0, 5462, 5462, 5461, 5461, 5461, 5461}));
}

TEST(Dice, AdvanceJumpsAsFarAsDrawingThatOften)
{
    for (const std::uint32_t seed : {0u, 1u, 0xDEADBEEFu}) {
        for (const std::uint64_t n : {0ull, 1ull, 2ull, 3ull, 1000ull, 65537ull}) {
            Lcg walked{seed};
            for (std::uint64_t i = 0; i < n; ++i) draw(walked);
            Lcg jumped{seed};
            advance(jumped, n);
            EXPECT_EQ(jumped.state, walked.state) << "seed " << seed << ", " << n << " draws";
        }
    }
}

TEST(Dice, TheDiceRepeatEvery2To31Draws)
{
    // The low 31 bits, which alone decide the dice, come back after 2^31 draws; the whole
    // state only after 2^32.
    Lcg dice{12345};
    advance(dice, 1ull << 31);
    EXPECT_EQ(dice.state & 0x7FFFFFFFu, 12345u);
    EXPECT_NE(dice.state, 12345u);
    advance(dice, 1ull << 31);
    EXPECT_EQ(dice.state, 12345u);
}

}  // namespace
}  // namespace zorvanty
