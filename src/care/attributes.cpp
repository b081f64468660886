#include "care/attributes.h"

float raised(float value, double amount, double limit)
{
    if (double(value) < limit)
        return float(double(value) + amount);
    return value;
}

float lowered(float value, double amount, double guard)
{
    if (double(value) - guard > 0.0)
        return float(double(value) - amount);
    return value;
}

void idleLoopEnd(Attributes &a) { a.age = raised(a.age, 0.01, ageLimit); }

void eatLoopEnd(Attributes &a, int actionTicks)
{
    a.age = raised(a.age, 0.01, ageLimit);
    a.fat = raised(a.fat, 0.1, attributeLimit);
    a.muscle = raised(a.muscle, 0.01, attributeLimit);
    if (actionTicks > eatingTiresAfter) {
        a.power = lowered(a.power, 0.01, 0.01);
        a.spirit = lowered(a.spirit, 0.02, 0.02);
    }
}

void sleepLoopEnd(Attributes &a, int actionTicks)
{
    a.age = raised(a.age, 0.005, ageLimit);
    a.fat = raised(a.fat, 0.005, attributeLimit);
    a.spirit = raised(a.spirit, 0.01, attributeLimit);
    a.power = raised(a.power, 0.01, attributeLimit);
    // Too much sleep costs more than it gives; the guards are smaller than the amounts taken, so
    // power and spirit can end a little below zero.
    if (actionTicks > sleepingTiresAfter) {
        a.power = lowered(a.power, 0.02, 0.01);
        a.spirit = lowered(a.spirit, 0.03, 0.02);
    }
}

void runStepThree(Attributes &a, int actionTicks)
{
    a.age = raised(a.age, 0.01, ageLimit);
    // Running burns fat, and muscle once the fat is gone.
    if (double(a.fat) - 0.1 > 0.0)
        a.fat = float(double(a.fat) - 0.1);
    else
        a.muscle = lowered(a.muscle, 0.2, 0.2);
    a.muscle = raised(a.muscle, 0.1, attributeLimit);
    a.power = raised(a.power, 0.1, attributeLimit);
    a.spirit = raised(a.spirit, 0.05, attributeLimit);
    if (actionTicks > runningTiresAfter) {
        a.power = lowered(a.power, 0.05, 0.01);
        a.spirit = lowered(a.spirit, 0.07, 0.02);
    }
}

void jumpFall(Attributes &a)
{
    a.power = lowered(a.power, 0.02, 0.02);
    a.spirit = lowered(a.spirit, 0.1, 0.1);
}

void blockBonus(Attributes &a)
{
    a.power = raised(a.power, 0.005, attributeLimit);
    a.spirit = raised(a.spirit, 0.03, attributeLimit);
}

void jumpAgeing(Attributes &a) { a.age = raised(a.age, 0.01, ageLimit); }
