#pragma once
// A short stereo test signal for the sound layer: a steady tone on the left
// channel and short loud bursts on the right at known frames, so that where a
// piece of decoded audio came from can be told by finding a burst in it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace TestSupport {

struct SoundSignal {
    static const int rate = 44100;
    std::vector<short> pcm; // interleaved left, right
    std::vector<int64_t> bursts;
    int64_t Frames() const { return static_cast<int64_t>(pcm.size() / 2); }
};

// Bursts every `spacing` frames from frame `first` on; 200 frames of 3 kHz each.
inline SoundSignal MakeSoundSignal(double seconds, int64_t first = 1234, int64_t spacing = 11025)
{
    const double pi = 3.14159265358979;
    SoundSignal signal;
    const int64_t frames = static_cast<int64_t>(seconds * SoundSignal::rate);
    signal.pcm.assign(frames * 2, 0);
    for (int64_t i = 0; i < frames; ++i)
        signal.pcm[i * 2] = static_cast<short>(3000 * std::sin(2 * pi * 440 * i / SoundSignal::rate));
    for (int64_t at = first; at + 200 < frames; at += spacing) {
        signal.bursts.push_back(at);
        for (int i = 0; i < 200; ++i)
            signal.pcm[(at + i) * 2 + 1] = static_cast<short>(20000 * std::sin(2 * pi * 3000 * i / SoundSignal::rate));
    }
    return signal;
}

// The first frame at or after `from` whose right sample is louder than
// `threshold`, or -1.
inline int64_t FindBurst(const short* interleaved, int64_t frames, int64_t from = 0, int threshold = 6000)
{
    for (int64_t i = from < 0 ? 0 : from; i < frames; ++i)
        if (std::abs(interleaved[i * 2 + 1]) > threshold)
            return i;
    return -1;
}

} // namespace TestSupport
