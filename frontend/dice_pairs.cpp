#include "frontend/dice_pairs.h"

#include <cstring>

namespace zorvanty {

namespace {

// Sixteen attacks side by side: lane j of `attackDraw` holds the generator state of the
// attack die of attack j of the batch, lane j of `defenseDraw` that of its defense die.
using Lanes32 = std::uint32_t __attribute__((vector_size(4 * dicePairBatch)));
using Lanes16 = std::uint16_t __attribute__((vector_size(2 * dicePairBatch)));
using Lanes8 = std::uint8_t __attribute__((vector_size(dicePairBatch)));

// One step of the generator taken `draws` times, as a single multiply and add.
struct LcgJump {
    std::uint32_t multiplier;
    std::uint32_t increment;
};

LcgJump jumpOf(std::uint64_t draws)
{
    // advance() composes the steps; running it on 0 and 1 reads off the composed step.
    Lcg zero{0}, one{1};
    advance(zero, draws);
    advance(one, draws);
    return {one.state - zero.state, zero.state};
}

}  // namespace

// The lanes multiply 32-bit numbers, which the basic x86-64 vector unit does slowly; where
// the processor has wider units the loader picks a build of this function for them.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#endif
void rollDicePairs(Lcg& dice, std::uint8_t* pairs, std::size_t attacks)
{
    if (attacks == 0) return;
    Lanes32 attackDraw{}, defenseDraw{};
    Lcg walk = dice;
    for (unsigned j = 0; j < dicePairBatch; ++j) {
        draw(walk);
        attackDraw[j] = walk.state;
        draw(walk);
        defenseDraw[j] = walk.state;
    }
    const LcgJump batch = jumpOf(2 * dicePairBatch);
    for (std::size_t i = 0;; i += dicePairBatch) {
        // The face a state shows, less one: bits 16 to 30 of the state, modulo 6.
        const Lanes16 attackFace = (__builtin_convertvector(attackDraw >> 16, Lanes16) & 0x7FFF) % 6;
        const Lanes16 defenseFace = (__builtin_convertvector(defenseDraw >> 16, Lanes16) & 0x7FFF) % 6;
        const Lanes16 codes = attackFace * 6 + defenseFace;
        const Lanes8 bytes = __builtin_convertvector(codes, Lanes8);
        std::memcpy(pairs + i, &bytes, dicePairBatch);
        if (i + dicePairBatch == attacks) break;
        attackDraw = attackDraw * batch.multiplier + batch.increment;
        defenseDraw = defenseDraw * batch.multiplier + batch.increment;
    }
    dice.state = defenseDraw[dicePairBatch - 1];
}

}  // namespace zorvanty
