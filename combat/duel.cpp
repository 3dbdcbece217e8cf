#include "combat/duel.h"

namespace zorvanty {

std::uint8_t runDuel(Fighter& first, Fighter& second, std::uint16_t startHp, Lcg& dice, Console& console)
{
    ConsoleNarration watched{console};
    return playDuel(first, second, startHp, dice, watched);
}

}  // namespace zorvanty
