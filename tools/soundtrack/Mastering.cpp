#include "tools/soundtrack/Mastering.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace Soundtrack {

namespace {

const double pi = 3.141592653589793;

// BS.1770 loudness: -0.691 + 10 log10 of the K-weighted mean square.
const double loudnessOffset = -0.691;
const double blockSeconds = 0.4;
const int stepsPerBlock = 4; // blocks overlap by three quarters
const double absoluteGateLufs = -70;
const double relativeGateLu = -10;

// The two K-weighting stages, given by the standard as 48 kHz coefficients;
// these are the analogue prototypes behind them, so any rate gets the same
// curve: a +4 dB shelf above about 1.7 kHz and a high-pass near 38 Hz.
const double shelfHz = 1681.974450955533;
const double shelfGainDb = 3.999843853973347;
const double shelfQ = 0.7071752369554196;
const double shelfBandExponent = 0.4996667741545416;
const double highPassHz = 38.13547087602444;
const double highPassQ = 0.5003270373238773;

// Peaks between samples: the signal as a decoder rebuilds it, read at three
// points between each pair of samples by a windowed-sinc interpolator.
const int interpolatedPoints = 3;
const int interpolatorHalfTaps = 6;
// Music that stays under half the ceiling at two neighbouring samples does
// not reach it in between; such stretches skip the interpolation.
const float interpolationFloor = 0.5f;

// Limiter timing: the fall before a peak, and how fast the gain comes back.
const double lookAheadSeconds = 0.005;
const double releaseSeconds = 0.06;
// Limiting lowers the loudness a little; a few rounds of gain correct it.
const int masterPasses = 4;
const double loudnessToleranceLu = 0.05;

class Biquad {
public:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0(b0 / a0), b1(b1 / a0), b2(b2 / a0), a1(a1 / a0), a2(a2 / a0)
    {
    }
    double Process(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }

private:
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
};

Biquad KWeightingShelf(int rate)
{
    const double k = std::tan(pi * shelfHz / rate);
    const double vh = std::pow(10.0, shelfGainDb / 20);
    const double vb = std::pow(vh, shelfBandExponent);
    return Biquad(vh + vb * k / shelfQ + k * k, 2 * (k * k - vh), vh - vb * k / shelfQ + k * k,
                  1 + k / shelfQ + k * k, 2 * (k * k - 1), 1 - k / shelfQ + k * k);
}

Biquad KWeightingHighPass(int rate)
{
    const double k = std::tan(pi * highPassHz / rate);
    return Biquad(1, -2, 1, 1 + k / highPassQ + k * k, 2 * (k * k - 1), 1 - k / highPassQ + k * k);
}

double ToLufs(double meanSquare) { return loudnessOffset + 10 * std::log10(meanSquare); }

double MeanOfBlocksAbove(const std::vector<double>& blocks, double gateLufs)
{
    double sum = 0;
    size_t count = 0;
    for (double block : blocks) {
        if (ToLufs(block) > gateLufs) {
            sum += block;
            ++count;
        }
    }
    return count ? sum / count : 0;
}

class TruePeakMeter {
public:
    TruePeakMeter()
    {
        for (int point = 0; point < interpolatedPoints; ++point) {
            const double fraction = (point + 1.0) / (interpolatedPoints + 1);
            for (int tap = 0; tap < 2 * interpolatorHalfTaps; ++tap) {
                const double x = fraction - (tap - interpolatorHalfTaps + 1);
                const double sinc = std::sin(pi * x) / (pi * x);
                const double hann = 0.5 + 0.5 * std::cos(pi * x / interpolatorHalfTaps);
                taps[point][tap] = static_cast<float>(sinc * hann);
            }
        }
    }
    // The largest magnitude from sample `n` up to (not including) n + 1.
    float PeakAt(const std::vector<float>& channel, size_t n, float floor) const
    {
        float peak = std::fabs(channel[n]);
        // The first and last few samples, without a whole window, count as they are.
        if (n + 1 < interpolatorHalfTaps || n + 1 + interpolatorHalfTaps > channel.size())
            return peak;
        const size_t first = n + 1 - interpolatorHalfTaps;
        if (peak < floor && std::fabs(channel[n + 1]) < floor)
            return peak;
        for (const auto& point : taps) {
            float value = 0;
            for (int tap = 0; tap < 2 * interpolatorHalfTaps; ++tap)
                value += point[tap] * channel[first + tap];
            peak = std::max(peak, std::fabs(value));
        }
        return peak;
    }

private:
    float taps[interpolatedPoints][2 * interpolatorHalfTaps];
};

void Scale(StereoBus& bus, float gain)
{
    for (size_t n = 0; n < bus.Frames(); ++n) {
        bus.left[n] *= gain;
        bus.right[n] *= gain;
    }
}

} // namespace

double IntegratedLoudness(const StereoBus& bus, int rate)
{
    const size_t step = static_cast<size_t>(std::lround(blockSeconds * rate / stepsPerBlock));
    const size_t steps = bus.Frames() / step;
    // K-weighted energy of both channels in each quarter block.
    std::vector<double> stepEnergy(steps, 0.0);
    for (const std::vector<float>* channel : {&bus.left, &bus.right}) {
        Biquad shelf = KWeightingShelf(rate), highPass = KWeightingHighPass(rate);
        for (size_t n = 0; n < steps * step; ++n) {
            const double y = highPass.Process(shelf.Process((*channel)[n]));
            stepEnergy[n / step] += y * y;
        }
    }
    std::vector<double> blocks;
    for (size_t first = 0; first + stepsPerBlock <= steps; ++first) {
        double energy = 0;
        for (int i = 0; i < stepsPerBlock; ++i)
            energy += stepEnergy[first + i];
        blocks.push_back(energy / (stepsPerBlock * step));
    }
    const double loud = MeanOfBlocksAbove(blocks, absoluteGateLufs);
    if (loud <= 0)
        return -std::numeric_limits<double>::infinity();
    return ToLufs(MeanOfBlocksAbove(blocks, ToLufs(loud) + relativeGateLu));
}

void LimitPeaks(StereoBus& bus, float ceiling, long lookAheadFrames, long releaseFrames)
{
    const size_t frames = bus.Frames();
    const size_t span = static_cast<size_t>(std::max(1L, lookAheadFrames));
    const TruePeakMeter meter;
    const float floor = interpolationFloor * ceiling;
    std::vector<float> needed(frames);
    for (size_t n = 0; n < frames; ++n) {
        const float peak = std::max(meter.PeakAt(bus.left, n, floor), meter.PeakAt(bus.right, n, floor));
        needed[n] = peak > ceiling ? ceiling / peak : 1.0f;
    }

    // The least gain needed within the next `span` frames (a sliding minimum:
    // the queue holds the candidates, smallest at the front).
    std::vector<float> held(frames);
    std::deque<size_t> candidates;
    for (size_t n = frames; n-- > 0;) {
        while (!candidates.empty() && needed[candidates.back()] >= needed[n])
            candidates.pop_back();
        candidates.push_back(n);
        if (candidates.front() >= n + span)
            candidates.pop_front();
        held[n] = needed[candidates.front()];
    }

    // Recovery after a peak: the gain climbs back toward 1 exponentially
    // (snapped to 1 once inaudibly close, so untouched stretches stay exact),
    // and never above what is held.
    const double recovery = 1 - std::exp(-1.0 / std::max(1L, releaseFrames));
    const double unity = 1 - 1e-6;
    double gain = 1;
    for (size_t n = 0; n < frames; ++n) {
        gain += (1 - gain) * recovery;
        if (gain > unity)
            gain = 1;
        gain = std::min(gain, static_cast<double>(held[n]));
        held[n] = static_cast<float>(gain);
    }

    // Averaging over the look-ahead span turns each fall into a smooth ramp;
    // every frame averaged for a peak already holds that peak's gain, so the
    // peak still lands at the ceiling. Frames before the first count as the
    // first, which holds for a peak right at the start too.
    const float before = frames ? held[0] : 1.0f;
    double sum = static_cast<double>(before) * span;
    for (size_t n = 0; n < frames; ++n) {
        sum += held[n] - (n >= span ? held[n - span] : before);
        const float smooth = std::min(1.0f, static_cast<float>(sum / span));
        bus.left[n] *= smooth;
        bus.right[n] *= smooth;
    }
}

void Master(StereoBus& bus, int rate, const MasterTarget& target)
{
    const double measured = IntegratedLoudness(bus, rate);
    if (!std::isfinite(measured))
        return;
    const StereoBus mix = bus;
    const float ceiling = static_cast<float>(std::pow(10.0, target.ceilingDbfs / 20));
    const long lookAhead = std::lround(lookAheadSeconds * rate), release = std::lround(releaseSeconds * rate);
    double gainDb = target.loudnessLufs - measured;
    for (int pass = 0; pass < masterPasses; ++pass) {
        bus = mix;
        Scale(bus, static_cast<float>(std::pow(10.0, gainDb / 20)));
        LimitPeaks(bus, ceiling, lookAhead, release);
        const double error = target.loudnessLufs - IntegratedLoudness(bus, rate);
        if (std::fabs(error) < loudnessToleranceLu)
            break;
        gainDb += error;
    }
}

} // namespace Soundtrack
