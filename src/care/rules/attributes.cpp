#include "care/rules/attributes.h"

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

namespace {

void growOlder(Attributes &a, double amount) { a.age = raised(a.age, amount, ageLimit); }

// The cost of an activity kept up too long. The guards are the same for every activity and
// never larger than the costs, so power and spirit can end a little below zero.
void tire(Attributes &a, double powerCost, double spiritCost)
{
    a.power = lowered(a.power, powerCost, 0.01);
    a.spirit = lowered(a.spirit, spiritCost, 0.02);
}

}

void idleLoopEnd(Attributes &a) { growOlder(a, 0.01); }

namespace {

// Eating and sleeping differ only in their amounts: what a loop end adds, and what keeping the
// activity up too long costs.
struct Gain
{
    float Attributes::*attribute;
    double amount;
};

struct RestingLoop
{
    double age;
    Gain gains[3];
    int tiresAfter;
    double powerCost, spiritCost;
};

constexpr RestingLoop eating{
    0.01, {{&Attributes::fat, 0.1}, {&Attributes::muscle, 0.01}}, eatingTiresAfter, 0.01, 0.02};
// Too much sleep costs more than it gives.
constexpr RestingLoop sleeping{0.005,
                               {{&Attributes::fat, 0.005}, {&Attributes::spirit, 0.01}, {&Attributes::power, 0.01}},
                               sleepingTiresAfter,
                               0.02,
                               0.03};

void restingLoopEnd(const RestingLoop &loop, Attributes &a, int actionTicks)
{
    growOlder(a, loop.age);
    for (const Gain &gain : loop.gains)
        if (gain.attribute)
            a.*gain.attribute = raised(a.*gain.attribute, gain.amount, attributeLimit);
    if (actionTicks > loop.tiresAfter)
        tire(a, loop.powerCost, loop.spiritCost);
}

}

void eatLoopEnd(Attributes &a, int actionTicks) { restingLoopEnd(eating, a, actionTicks); }

void sleepLoopEnd(Attributes &a, int actionTicks) { restingLoopEnd(sleeping, a, actionTicks); }

void runStepThree(Attributes &a, int actionTicks)
{
    growOlder(a, 0.01);
    // Running burns fat, and muscle once the fat is gone.
    if (double(a.fat) - 0.1 > 0.0)
        a.fat = float(double(a.fat) - 0.1);
    else
        a.muscle = lowered(a.muscle, 0.2, 0.2);
    a.muscle = raised(a.muscle, 0.1, attributeLimit);
    a.power = raised(a.power, 0.1, attributeLimit);
    a.spirit = raised(a.spirit, 0.05, attributeLimit);
    if (actionTicks > runningTiresAfter)
        tire(a, 0.05, 0.07);
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

void jumpAgeing(Attributes &a) { growOlder(a, 0.01); }
