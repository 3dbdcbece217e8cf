#include "frontend/tally.h"

#include "combat/duel.h"
#include "console/format.h"

namespace zorvanty {

SimTally simulateDuels(Fighter& one, Fighter& two, std::uint16_t startHp, std::uint32_t duels, Lcg& dice,
                       Console& progress)
{
    SimTally tally{};
    for (std::uint32_t i = 0; i < duels; ++i) {
        countOutcome(tally, runDuel(one, two, startHp, dice), one, two);
        if ((i & (duelsPerDot - 1)) == duelsPerDot - 1) writeText(progress, ".");
    }
    return tally;
}

}  // namespace zorvanty
