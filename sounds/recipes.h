#pragma once
// Every sound the game plays, by the file name it is played from (without ".wav").
#include "synth.h"

struct Recipe
{
    const char *name;
    const char *what; // a few words for the contact sheet
    Synth::Samples (*make)();
};

extern const Recipe recipes[];
extern const int recipeCount;
