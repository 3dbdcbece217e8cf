#include "combat/dice.h"

namespace zorvanty {

void advance(Lcg& dice, std::uint64_t draws)
{
    // Composes the step x -> a*x + c with itself by repeated squaring: after the loop,
    // (multiplier, increment) is the step taken `draws` times.
    std::uint32_t stepMul = lcgMultiplier, stepAdd = lcgIncrement;
    std::uint32_t totalMul = 1, totalAdd = 0;
    for (; draws > 0; draws >>= 1) {
        if (draws & 1) {
            totalMul *= stepMul;
            totalAdd = totalAdd * stepMul + stepAdd;
        }
        stepAdd = (stepMul + 1) * stepAdd;
        stepMul *= stepMul;
    }
    dice.state = dice.state * totalMul + totalAdd;
}

}  // namespace zorvanty
