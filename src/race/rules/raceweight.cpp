#include "race/rules/raceweight.h"

#include "game/rules/saturatingint.h"

int raceWeight(const Attributes &a)
{
    const auto [age, muscle, fat, power, spirit] = a;
    // x86-64 and ARM compute float in float (FLT_EVAL_METHOD 0), so each step rounds to single precision.
    float s = muscle + fat;
    if (s <= 0.0f)
        s = 1.0f;
    float sum = power + spirit;
    float product = sum * muscle;
    float w = product / s;
    if (age > 5.0f)
        w = w * 0.8f;
    if (age > 10.0f)
        w = w * 0.5f;
    if (age > 20.0f)
        w = w * 0.3f;
    return saturatingInt(w);
}
