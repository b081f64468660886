// The recipes. Levels stay well below full scale: the game is meant to be heard beside other
// things, and the player can always turn it up.
#include "recipes.h"

#include <cmath>

using namespace Synth;

namespace {

// One hoof on turf: a dull knock of low-passed noise over a short low thump.
Samples hoofBeat(Noise &noise, double weight)
{
    Samples s = silence(0.09);
    LowPass dull(900);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double knock = dull(noise.next()) * std::exp(-70 * t);
        const double thump = std::sin(2 * pi * (95 - 200 * t) * t) * std::exp(-45 * t);
        s[i] = weight * (2.2 * knock + 0.8 * thump) * std::min(1.0, t / 0.002);
    }
    return s;
}

// One gallop stride: three beats close together and the moment in the air; played as a loop.
Samples hooves()
{
    Noise noise(0x7207);
    Samples s = silence(0.5);
    const double beats[] = {0.012, 0.1, 0.175};
    const double weights[] = {0.8, 0.9, 1.0};
    for (int i = 0; i < 3; ++i)
        mix(s, hoofBeat(noise, weights[i]), beats[i]);
    s.resize(std::size_t(at(0.5)));
    finish(s, 0.32, 0.004);
    return s;
}

// Springing up: a push off the ground and a quick rising whistle.
Samples hop()
{
    Noise noise(0x40b);
    Samples s = hoofBeat(noise, 1.0);
    mix(s, tone(320, 760, 0.22, 0.01, 6), 0.03, 0.35);
    finish(s, 0.3);
    return s;
}

// Over the bale: a falling whistle, then the bump on the ground and a shake of straw.
Samples fall()
{
    Noise noise(0xfa11);
    Samples s = tone(640, 140, 0.4, 0.01, 2);
    Samples bump = silence(0.35);
    LowPass dull(300);
    HighPass straw(2500);
    for (std::size_t i = 0; i < bump.size(); ++i) {
        const double t = double(i) / rate;
        bump[i] = 3.5 * dull(noise.next()) * std::exp(-14 * t) + std::sin(2 * pi * 60 * t) * std::exp(-10 * t)
                  + 0.25 * straw(noise.next()) * std::exp(-9 * t);
    }
    mix(s, bump, 0.38, 1.2);
    finish(s, 0.36);
    return s;
}

// Chewing hay: a few short bursts of bright noise at uneven gaps.
Samples crunch()
{
    Noise noise(0xc7c4);
    Samples s = silence(0.5);
    const double starts[] = {0.01, 0.11, 0.19, 0.31};
    for (double start : starts) {
        Samples bite = silence(0.07);
        HighPass bright(1800);
        LowPass soft(6000);
        for (std::size_t i = 0; i < bite.size(); ++i) {
            const double t = double(i) / rate;
            // Crackle: the noise comes in grains, not as an even hiss.
            const double grain = noise.next() > 0.55 ? 1.0 : 0.3;
            bite[i] = soft(bright(noise.next())) * grain * std::exp(-40 * t) * std::min(1.0, t / 0.003);
        }
        mix(s, bite, start, 0.8 + 0.2 * std::sin(start * 40));
    }
    finish(s, 0.28);
    return s;
}

// A snore: a slow buzzing breath in, a softer sigh out.
Samples snore()
{
    Noise noise(0x5407);
    Samples s = silence(1.6);
    LowPass throat(420);
    LowPass breath(1200);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        double v = 0;
        if (t < 0.9) {
            const double swell = std::sin(pi * t / 0.9);
            const double buzz = 0.55 + 0.45 * std::sin(2 * pi * 38 * t); // the soft palate flapping
            v = 3.0 * throat(noise.next()) * buzz * swell * swell;
        } else if (t < 1.55) {
            const double sigh = std::sin(pi * (t - 0.9) / 0.65);
            v = 0.9 * breath(noise.next()) * sigh;
        }
        s[i] = v;
    }
    finish(s, 0.24, 0.02);
    return s;
}

// Two struck notes, the second a little after the first: the bell and the chime.
Samples twoStrikes(double first, double firstLength, double second, double secondLength, double at, double peak)
{
    Samples s = strike(first, firstLength);
    mix(s, strike(second, secondLength), at, 0.9);
    finish(s, peak, 0.03);
    return s;
}

// The starting bell: two quick strikes.
Samples startBell() { return twoStrikes(1046, 1.3, 1046, 1.1, 0.22, 0.34); }

// Won: a rising major arpeggio ending on a held high note.
Samples win()
{
    Samples s;
    const double notes[] = {523.25, 659.26, 783.99, 1046.5};
    for (int i = 0; i < 4; ++i)
        mix(s, tone(notes[i], notes[i], i == 3 ? 0.7 : 0.22, 0.008, i == 3 ? 3.5 : 8), 0.12 * i, 0.9);
    finish(s, 0.34, 0.02);
    return s;
}

// Lost: three slow falling notes, the last one sagging.
Samples loss()
{
    Samples s;
    mix(s, tone(392.0, 392.0, 0.35, 0.015, 4), 0.0);
    mix(s, tone(369.99, 369.99, 0.35, 0.015, 4), 0.3);
    mix(s, tone(349.23, 311.13, 0.75, 0.015, 2.5), 0.6);
    finish(s, 0.3, 0.03);
    return s;
}

// Someone has come to race: a bright two-note chime, high then lower.
Samples chime() { return twoStrikes(1318.5, 0.9, 1046.5, 0.9, 0.18, 0.3); }

// The name is taken: two soft rising notes.
Samples named()
{
    Samples s = tone(659.26, 659.26, 0.16, 0.01, 10);
    mix(s, tone(987.77, 987.77, 0.3, 0.01, 9), 0.11);
    finish(s, 0.22, 0.02);
    return s;
}

}

const Recipe recipes[] = {
    {"hooves", "one gallop stride, looped while running and racing", hooves},
    {"hop", "the horse springs over the bale", hop},
    {"fall", "the horse falls over the bale", fall},
    {"crunch", "eating", crunch},
    {"snore", "sleeping", snore},
    {"startbell", "the race starts", startBell},
    {"win", "the race is won", win},
    {"loss", "the race is lost", loss},
    {"chime", "a challenger arrives over the network", chime},
    {"named", "the horse has its name", named},
};
const int recipeCount = int(sizeof recipes / sizeof recipes[0]);
