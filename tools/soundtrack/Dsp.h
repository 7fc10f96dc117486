#pragma once
// Building blocks of the synthesiser: a deterministic noise source, a
// state-variable filter and a band-limited sawtooth.
#include <cmath>
#include <cstdint>

namespace Soundtrack {

const double twoPi = 6.283185307179586;

inline double MidiToHz(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// xorshift32: the same noise on every run and every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    float Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) * (2.0f / 4294967295.0f) - 1.0f;
    }

private:
    uint32_t state;
};

// Trapezoidal state-variable filter: low, band and high outputs of one input.
class Svf {
public:
    struct Out {
        float low, band, high;
    };
    void Tune(double cutoffHz, double q, double rate)
    {
        const double limited = std::fmin(cutoffHz, rate * 0.45);
        g = static_cast<float>(std::tan(3.141592653589793 * limited / rate));
        k = static_cast<float>(1.0 / q);
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    Out Process(float input)
    {
        const float v3 = input - ic2;
        const float v1 = a1 * ic1 + a2 * v3;
        const float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        return {v2, v1, input - k * v1 - v2};
    }

private:
    float g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0;
    float ic1 = 0, ic2 = 0;
};

// Sawtooth with polyBLEP corrections at the wrap, so high notes do not alias.
class Saw {
public:
    explicit Saw(double startPhase = 0) : phase(startPhase) {}
    void SetFrequency(double hz, double rate) { step = hz / rate; }
    float Next()
    {
        double value = 2 * phase - 1 - Blep(phase);
        phase += step;
        if (phase >= 1)
            phase -= 1;
        return static_cast<float>(value);
    }

private:
    double Blep(double t) const
    {
        if (t < step) {
            t /= step;
            return t + t - t * t - 1;
        }
        if (t > 1 - step) {
            t = (t - 1) / step;
            return t * t + t + t + 1;
        }
        return 0;
    }
    double phase;
    double step = 0;
};

} // namespace Soundtrack
