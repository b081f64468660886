#include "synth.h"

#include <algorithm>
#include <cmath>

namespace Synth {

double Noise::next()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return double(m_state) / 2147483647.5 - 1.0;
}

LowPass::LowPass(double cutoffHz) : m_a(1.0 - std::exp(-2.0 * pi * cutoffHz / rate)) {}

double LowPass::operator()(double in)
{
    m_y += m_a * (in - m_y);
    return m_y;
}

Samples silence(double seconds) { return Samples(std::size_t(at(seconds)), 0.0); }

int at(double seconds) { return int(std::lround(seconds * rate)); }

void mix(Samples &into, const Samples &part, double start, double gain)
{
    const std::size_t from = std::size_t(at(start));
    if (into.size() < from + part.size())
        into.resize(from + part.size(), 0.0);
    for (std::size_t i = 0; i < part.size(); ++i)
        into[from + i] += gain * part[i];
}

Samples tone(double fromHz, double toHz, double seconds, double attack, double decayPerSecond)
{
    Samples s = silence(seconds);
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double hz = fromHz + (toHz - fromHz) * t / seconds;
        phase += 2 * pi * hz / rate;
        const double envelope = std::min(1.0, t / attack) * std::exp(-decayPerSecond * t);
        // A touch of the octave above makes it rounder than a bare sine on a small speaker.
        s[i] = envelope * (std::sin(phase) + 0.25 * std::sin(2 * phase));
    }
    return s;
}

Samples strike(double baseHz, double seconds)
{
    static const double ratios[] = {1.0, 2.76, 5.40, 8.93};
    static const double weights[] = {1.0, 0.5, 0.25, 0.12};
    Samples s = silence(seconds);
    for (int p = 0; p < 4; ++p) {
        const double decay = 3.0 + 2.5 * p;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const double t = double(i) / rate;
            s[i] += weights[p] * std::min(1.0, t / 0.002) * std::exp(-decay * t)
                    * std::sin(2 * pi * baseHz * ratios[p] * t);
        }
    }
    return s;
}

void finish(Samples &s, double peak, double fadeSeconds)
{
    double highest = 0;
    for (double v : s)
        highest = std::max(highest, std::abs(v));
    const double gain = highest > 0 ? peak / highest : 0;
    const std::size_t fade = std::min(s.size() / 2, std::size_t(at(fadeSeconds)));
    for (std::size_t i = 0; i < s.size(); ++i) {
        double g = gain;
        const std::size_t edge = std::min(i, s.size() - 1 - i);
        if (edge < fade)
            g *= 0.5 - 0.5 * std::cos(pi * double(edge) / double(fade)); // a raised-cosine ramp
        s[i] *= g;
    }
}

}
