#pragma once
// Modes C and D: one boss against a line of one-hit-point challengers. The boss's wounds
// carry over from challenger to challenger, and an empty name hands it the victory.

#include <cstdint>

#include "frontend/game.h"

namespace zorvanty {

// The boss is fighterTwo, with the mode's hit points given once, here.
void enterBoss(Game& game, std::uint16_t startHp);

// Challengers, each as fighterOne, until the boss falls or an empty name is given.
void playGauntlet(Game& game);

}  // namespace zorvanty
