#pragma once
// A horse's race weight: the one strength figure the race uses, computed from the attributes
// whenever it is needed. Pure.
#include "game/rules/horse.h"

// Single precision throughout, every product rounded to float before the next step; the age
// factors accumulate (older than 20 keeps 0.8 x 0.5 x 0.3 of it). A weight beyond the int range
// saturates and a NaN counts as 0: a hand-edited save can hold anything.
int raceWeight(const Attributes &a);
