#pragma once
// The few building blocks every sound is made of: a seeded noise source, oscillators, envelopes
// and one-pole filters over a buffer of samples in -1..1. Nothing here is random between runs.
#include <cstdint>
#include <vector>

namespace Synth {

inline constexpr int rate = 22050; // samples a second: plenty for a small speaker
inline constexpr double pi = 3.14159265358979323846;

// A tiny xorshift generator, seeded by each recipe, so that two builds make the same bytes.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : m_state(seed ? seed : 1u) {}
    double next(); // white noise in -1..1

private:
    std::uint32_t m_state;
};

// One-pole filters: enough to make noise dull (a thud) or hissy (a crunch).
class LowPass
{
public:
    explicit LowPass(double cutoffHz);
    double operator()(double in);

private:
    double m_a;
    double m_y = 0;
};

class HighPass
{
public:
    explicit HighPass(double cutoffHz) : m_low(cutoffHz) {}
    double operator()(double in) { return in - m_low(in); }

private:
    LowPass m_low;
};

using Samples = std::vector<double>;

Samples silence(double seconds);
int at(double seconds); // the sample index of a time
// Adds `part` into `into` from `start` seconds on, growing it where needed.
void mix(Samples &into, const Samples &part, double start, double gain = 1.0);
// A sine whose frequency glides from `fromHz` to `toHz`, with an attack and an exponential decay.
Samples tone(double fromHz, double toHz, double seconds, double attack, double decayPerSecond);
// A bell-like strike: inharmonic partials, each dying away at its own pace.
Samples strike(double baseHz, double seconds);
// Scales to the given peak (a fraction of full scale), then fades both ends over `fadeSeconds`
// so that the first and last samples are exactly silent: no click where playing starts or stops.
void finish(Samples &s, double peak, double fadeSeconds = 0.006);

}
