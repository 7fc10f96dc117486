#include "tools/soundtrack/Instruments.h"

#include "tools/soundtrack/Dsp.h"

#include <algorithm>
#include <cmath>

namespace Soundtrack {

namespace {

const double rate = sampleRate;

// Number of frames of a voice that fit in the mix from `start`.
long Span(const Mix& mix, long start, long length)
{
    if (start < 0 || start >= static_cast<long>(mix.Frames()))
        return 0;
    return std::min(length, static_cast<long>(mix.Frames()) - start);
}

float Decay(long n, double seconds)
{
    return static_cast<float>(std::exp(-n / (seconds * rate)));
}

// Linear attack, hold, linear release after `length` frames.
float Envelope(long n, long length, long attack, long release)
{
    if (n < attack)
        return static_cast<float>(n) / attack;
    if (n < length)
        return 1.0f;
    return std::max(0.0f, 1.0f - static_cast<float>(n - length) / release);
}

long Seconds(double s)
{
    return static_cast<long>(s * rate);
}

// Noise through one filter per channel, tuned a little apart for width.
class StereoNoise {
public:
    StereoNoise(uint32_t seed, bool highPass) : noise(seed), highPass(highPass) {}
    void Tune(double leftHz, double rightHz, double q)
    {
        left.Tune(leftHz, q, rate);
        right.Tune(rightHz, q, rate);
    }
    // Adds one frame at `gain` to the drums, and a share of it to the reverb.
    void AddTo(Mix& mix, long frame, float gain, float reverbShare)
    {
        const float l = Pick(left.Process(noise.Next())) * gain;
        const float r = Pick(right.Process(noise.Next())) * gain;
        mix.drums.Add(frame, l, r);
        mix.reverbSend.Add(frame, reverbShare * l, reverbShare * r);
    }

private:
    float Pick(const Svf::Out& out) const { return highPass ? out.high : out.band; }
    Noise noise;
    bool highPass;
    Svf left, right;
};

} // namespace

void PlayKick(Mix& mix, long start, float velocity)
{
    const long frames = Span(mix, start, Seconds(0.5));
    Noise noise(0x51c0ffeeu);
    double phase = 0;
    for (long n = 0; n < frames; ++n) {
        const double t = n / rate;
        phase += (46.0 + 125.0 * std::exp(-t / 0.035)) / rate;
        const float body = static_cast<float>(std::sin(twoPi * phase)) * Decay(n, 0.24);
        const float click = noise.Next() * Decay(n, 0.0015) * 0.9f;
        const float fadeOut = n > frames - 400 ? (frames - n) / 400.0f : 1.0f;
        const float value = std::tanh(1.7f * (body + click)) * 0.72f * velocity * fadeOut;
        mix.drums.Add(start + n, value, value);
    }
}

void PlayClap(Mix& mix, long start, float velocity, uint32_t seed)
{
    const long frames = Span(mix, start, Seconds(0.45));
    StereoNoise noise(seed, false);
    noise.Tune(1250, 1400, 1.1);
    const long burst = Seconds(0.0085);
    for (long n = 0; n < frames; ++n) {
        float level = 0;
        for (int k = 0; k < 3; ++k) {
            if (n >= k * burst)
                level += Decay(n - k * burst, 0.0035);
        }
        if (n >= 2 * burst)
            level += 0.6f * Decay(n - 2 * burst, 0.09);
        noise.AddTo(mix, start + n, level * velocity * 2.0f, 0.35f);
    }
}

void PlayHat(Mix& mix, long start, float velocity, bool open, uint32_t seed)
{
    const double decay = open ? 0.16 : 0.028;
    const long frames = Span(mix, start, Seconds(decay * 6));
    Noise noise(seed);
    Svf high;
    high.Tune(7500, 0.8, rate);
    const float pan = open ? 0.5f : 0.62f;
    for (long n = 0; n < frames; ++n) {
        const float value = high.Process(noise.Next()).high * Decay(n, decay) * velocity * 0.3f;
        mix.drums.Add(start + n, value * pan, value * (1 - pan));
    }
}

void PlayCrash(Mix& mix, long start, float velocity, uint32_t seed)
{
    const long frames = Span(mix, start, Seconds(3.0));
    StereoNoise noise(seed, true);
    noise.Tune(4500, 5200, 0.7);
    for (long n = 0; n < frames; ++n)
        noise.AddTo(mix, start + n, Decay(n, 0.55) * velocity * 0.16f, 0.3f);
}

void PlayRiser(Mix& mix, long start, long end, float level, uint32_t seed)
{
    const long length = end - start;
    const long frames = Span(mix, start, length);
    StereoNoise noise(seed, false);
    const long fade = Seconds(0.02);
    for (long n = 0; n < frames; ++n) {
        const double x = static_cast<double>(n) / length;
        if (n % 32 == 0) {
            const double cutoff = 200.0 * std::pow(3500.0 / 200.0, x);
            noise.Tune(cutoff, cutoff * 1.05, 1.5);
        }
        const float tail = n > length - fade ? static_cast<float>(length - n) / fade : 1.0f;
        noise.AddTo(mix, start + n, static_cast<float>(level * x * x) * tail, 0.3f);
    }
}

void PlayBass(Mix& mix, long start, long length, const Note& note)
{
    const long release = Seconds(0.015);
    const long frames = Span(mix, start, length + release);
    const double hz = MidiToHz(note.midi);
    Saw saw;
    saw.SetFrequency(hz, rate);
    Svf filter;
    const double q = 0.7 + 3.0 * note.brightness * note.brightness;
    double phase = 0;
    for (long n = 0; n < frames; ++n) {
        if (n % 16 == 0) {
            const double sweep = 0.25 + 0.75 * std::exp(-n / (0.12 * rate));
            filter.Tune(80.0 + (200.0 + 2500.0 * note.brightness) * sweep, q, rate);
        }
        phase += hz / rate;
        const float source = saw.Next() * 0.7f + static_cast<float>(std::sin(twoPi * phase)) * 0.6f;
        const float value = filter.Process(source).low * Envelope(n, length, Seconds(0.003), release) *
                            note.velocity * 0.45f;
        mix.music.Add(start + n, value, value);
    }
}

void PlayPad(Mix& mix, long start, long length, const Note& note)
{
    const long release = Seconds(0.9);
    const long frames = Span(mix, start, length + release);
    const double hz = MidiToHz(note.midi);
    const double detune[4] = {0.9960, 1.0017, 1.0040, 0.9983}; // left pair, right pair
    Saw saws[4] = {Saw(0.1), Saw(0.6), Saw(0.35), Saw(0.85)};
    for (int i = 0; i < 4; ++i)
        saws[i].SetFrequency(hz * detune[i], rate);
    Svf left, right;
    const double cutoff = 350.0 + 3200.0 * note.brightness;
    left.Tune(cutoff, 0.8, rate);
    right.Tune(cutoff, 0.8, rate);
    const long attack = std::min(Seconds(0.4), length / 2 + 1);
    for (long n = 0; n < frames; ++n) {
        const float gain = Envelope(n, length, attack, release) * note.velocity * 0.1f;
        const float l = left.Process(saws[0].Next() + saws[1].Next()).low * gain;
        const float r = right.Process(saws[2].Next() + saws[3].Next()).low * gain;
        mix.music.Add(start + n, l, r);
        mix.reverbSend.Add(start + n, 0.5f * l, 0.5f * r);
    }
}

void PlayPluck(Mix& mix, long start, long length, const Note& note)
{
    const long release = Seconds(0.03);
    const long frames = Span(mix, start, length + release);
    Saw saw;
    saw.SetFrequency(MidiToHz(note.midi), rate);
    Svf filter;
    const float pan = note.midi % 2 ? 0.35f : 0.65f;
    for (long n = 0; n < frames; ++n) {
        if (n % 16 == 0)
            filter.Tune(300.0 + 5000.0 * note.brightness * std::exp(-n / (0.07 * rate)), 1.2, rate);
        const float value = filter.Process(saw.Next()).low * Decay(n, 0.2) *
                            Envelope(n, length, Seconds(0.002), release) * note.velocity * 0.3f;
        mix.music.Add(start + n, value * pan, value * (1 - pan));
        mix.delaySend.Add(start + n, 0.45f * value * pan, 0.45f * value * (1 - pan));
        mix.reverbSend.Add(start + n, 0.2f * value, 0.2f * value);
    }
}

} // namespace Soundtrack
