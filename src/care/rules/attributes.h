#pragma once
// How the activities change the horse. Every change reads the float, works in double with the
// amount as a double and stores the result as a float again, so the saved file holds exactly what
// the device's arithmetic gave. Upper limits are tested (strictly below) before adding, so a value
// may end past its limit by less than one amount; lower guards test "value minus guard > 0.0",
// and several guards differ from the amounts they protect. Pure.
#include "game/rules/horse.h"

inline constexpr double ageLimit = 40.0;
inline constexpr double attributeLimit = 1000.0;

// Ticks an activity may last before it starts to tire the horse (the penalty and the tired face
// come on the first loop end past them).
inline constexpr int eatingTiresAfter = 40;
inline constexpr int sleepingTiresAfter = 80;
inline constexpr int runningTiresAfter = 40;
inline constexpr int runningFaceTiresAfter = 60;

// value + amount, only while value < limit.
float raised(float value, double amount, double limit);
// value - amount, only while value - guard > 0.0.
float lowered(float value, double amount, double guard);

// The end of each activity's loop.
void idleLoopEnd(Attributes &a);
void eatLoopEnd(Attributes &a, int actionTicks);
void sleepLoopEnd(Attributes &a, int actionTicks);
void runStepThree(Attributes &a, int actionTicks);

// The jump: a fall, the bonus for every tick a block is on the track, and the ageing of every
// jump frame after the first.
void jumpFall(Attributes &a);
void blockBonus(Attributes &a);
void jumpAgeing(Attributes &a);
