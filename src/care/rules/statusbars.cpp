#include "care/rules/statusbars.h"

#include "game/rules/saturatingint.h"

#include <algorithm>

namespace {

// A bar taller than this reaches past the screen either way (it is 320 pixels high), so heights
// are kept within it: the picture is the same and the arithmetic cannot overflow.
constexpr long long tallestDrawnBar = 1000;

int barHeight(long long pixels) { return int(std::clamp(pixels, -tallestDrawnBar, tallestDrawnBar)); }

}

std::array<StatusBar, 5> statusBars(const Attributes &a)
{
    const int age = saturatingInt(a.age);
    const int muscle = saturatingInt(a.muscle);
    const int fat = saturatingInt(a.fat);
    const int power = saturatingInt(a.power);
    const int spirit = saturatingInt(a.spirit);
    // Age grows to 40: five pixels a year make its tallest bar as tall as the others' (200), so that
    // its number stays inside the page, below the title.
    return {{
        {"Age", 20, 200, 80, 80, age, barHeight(age * 5LL)},
        {"Muscle", 60, 80, 200, 80, muscle, barHeight(muscle / 5)},
        {"Fat", 100, 80, 80, 200, fat, barHeight(fat / 5)},
        {"Power", 140, 200, 80, 200, power, barHeight(power / 5)},
        {"Spirit", 180, 80, 200, 200, spirit, barHeight(spirit / 5)},
    }};
}
