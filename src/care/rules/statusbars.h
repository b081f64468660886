#pragma once
// The status screen's five bars: each attribute as a whole number and a bar standing on the line
// y = 260. Pure.
#include "care/rules/attributes.h"

#include <array>

struct StatusBar
{
    const char *label;
    int x; // left edge of the bar, its number and its label
    int red, green, blue;
    int value;  // the attribute truncated toward zero (saturatingInt)
    int height; // in pixels; 0 draws no bar
};

// The title, the horse's name: the start of its baseline, and its room, which ends clear of the
// horseshoe in the page's top right corner.
inline constexpr int statusTitleX = 40;
inline constexpr int statusTitleY = 40;
inline constexpr int statusTitleRoom = 168;

inline constexpr int statusBarBase = 260;
inline constexpr int statusBarWidth = 25;

// Age, Muscle, Fat, Power, Spirit, left to right.
std::array<StatusBar, 5> statusBars(const Attributes &a);
