#include "race/raceweight.h"

#include <climits>
#include <cmath>

int raceWeight(float age, float muscle, float fat, float power, float spirit)
{
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
    const float weight = w;
    if (std::isnan(weight))
        return 0;
    if (weight >= 2147483648.0f)
        return INT_MAX;
    if (weight <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(weight);
}
