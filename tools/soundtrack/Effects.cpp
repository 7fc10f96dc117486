#include "tools/soundtrack/Effects.h"

#include "tools/soundtrack/Score.h"

#include <algorithm>
#include <cmath>

namespace Soundtrack {

namespace {

class Comb {
public:
    explicit Comb(size_t length) : buffer(length) {}
    float Process(float input, float feedback, float damp)
    {
        const float out = buffer[index];
        store = out * (1 - damp) + store * damp;
        buffer[index] = input + store * feedback;
        index = (index + 1) % buffer.size();
        return out;
    }

private:
    std::vector<float> buffer;
    size_t index = 0;
    float store = 0;
};

class Allpass {
public:
    explicit Allpass(size_t length) : buffer(length) {}
    float Process(float input)
    {
        const float delayed = buffer[index];
        buffer[index] = input + delayed * 0.5f;
        index = (index + 1) % buffer.size();
        return delayed - input;
    }

private:
    std::vector<float> buffer;
    size_t index = 0;
};

void ReverbChannel(std::vector<float>& samples, size_t spread)
{
    Comb combs[] = {Comb(1116 + spread), Comb(1188 + spread), Comb(1277 + spread), Comb(1356 + spread),
                    Comb(1422 + spread), Comb(1491 + spread)};
    Allpass allpasses[] = {Allpass(556 + spread), Allpass(441 + spread), Allpass(341 + spread)};
    for (float& sample : samples) {
        const float input = sample * 0.1f;
        float out = 0;
        for (Comb& comb : combs)
            out += comb.Process(input, 0.84f, 0.3f);
        for (Allpass& allpass : allpasses)
            out = allpass.Process(out);
        sample = out;
    }
}

} // namespace

void ApplyReverb(StereoBus& send)
{
    ReverbChannel(send.left, 0);
    ReverbChannel(send.right, 23);
}

void ApplyPingPongDelay(StereoBus& send, long delayFrames, float feedback)
{
    // Two recirculating lines of one delay each; what enters the left line
    // comes out on the right, then on the left, and so on.
    const size_t delay = static_cast<size_t>(std::max(delayFrames, 1L));
    std::vector<float> lineLeft(delay), lineRight(delay);
    float toneLeft = 0, toneRight = 0;
    for (size_t n = 0, slot = 0; n < send.Frames(); ++n, slot = (slot + 1) % delay) {
        toneLeft += 0.45f * (lineRight[slot] - toneLeft);
        toneRight += 0.45f * (lineLeft[slot] - toneRight);
        const float input = 0.5f * (send.left[n] + send.right[n]);
        lineLeft[slot] = input + feedback * toneLeft;
        lineRight[slot] = feedback * toneRight;
        send.left[n] = toneLeft;
        send.right[n] = toneRight;
    }
}

void DuckUnderKicks(StereoBus& bus, const std::vector<long>& kickStarts, const std::vector<float>& velocities,
                    float depth)
{
    std::vector<float> gain(bus.Frames(), 1.0f);
    const long attack = sampleRate * 3 / 1000, length = sampleRate * 2 / 5;
    for (size_t k = 0; k < kickStarts.size(); ++k) {
        const long start = kickStarts[k];
        const long end = std::min(start + length, static_cast<long>(gain.size()));
        for (long n = std::max(start, 0L); n < end; ++n) {
            const long t = n - start;
            const float dip = depth * velocities[k] * std::min(1.0f, static_cast<float>(t) / attack) *
                              static_cast<float>(std::exp(-t / (0.11 * sampleRate)));
            gain[n] = std::min(gain[n], 1.0f - dip);
        }
    }
    for (size_t n = 0; n < gain.size(); ++n) {
        bus.left[n] *= gain[n];
        bus.right[n] *= gain[n];
    }
}

} // namespace Soundtrack
