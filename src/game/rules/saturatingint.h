#pragma once
// A float as a whole number, truncated toward zero like a plain conversion. A value beyond the int
// range gives the nearest int and a NaN gives 0, where the plain conversion would be undefined: a
// hand-edited save can hold anything. Pure.
#include <climits>
#include <cmath>

inline int saturatingInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}
