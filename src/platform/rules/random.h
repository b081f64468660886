#pragma once
// The game's one source of chance: the C library's rand(), never seeded, so every start replays
// the same sequence. Tests script the draws here instead of re-seeding.
#include <initializer_list>

int gameRand();

// While draws are scripted, gameRand() returns them in order, then falls back to rand().
void scriptRandomDraws(std::initializer_list<int> draws);
void clearScriptedDraws();
int scriptedDrawsLeft();
