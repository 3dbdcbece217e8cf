#include "frontend/entry.h"

#include <cstring>

namespace zorvanty {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

std::int32_t parseNumber(const char* text)
{
    while (isBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    std::uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<std::uint32_t>(*text - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::size_t askName(Game& game, Fighter& fighter)
{
    writeText(game.console, "nazwa: ");
    game.console.readLine(fighter.name);
    const std::size_t length = std::strlen(fighter.name);
    if (length > 0 && fighter.name[length - 1] == '\n') fighter.name[length - 1] = '\0';
    return length;
}

std::int32_t askNumber(Game& game, CheckedFormat<> label)
{
    writeText(game.console, label);
    game.console.readLine(game.answer);
    return parseNumber(game.answer);
}

void askFighter(Game& game, Fighter& fighter, bool withName)
{
    if (withName) askName(game, fighter);
    fighter.attack = static_cast<std::uint16_t>(askNumber(game, "atak:  "));
    fighter.defense = static_cast<std::uint16_t>(askNumber(game, "obrona:"));
}

}  // namespace zorvanty
