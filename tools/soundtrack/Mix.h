#pragma once
#include <cstddef>
#include <vector>

namespace Soundtrack {

struct StereoBus {
    explicit StereoBus(size_t frames = 0) : left(frames), right(frames) {}
    size_t Frames() const { return left.size(); }
    void Add(size_t frame, float l, float r)
    {
        left[frame] += l;
        right[frame] += r;
    }
    std::vector<float> left, right;
};

// The buses the instruments write into: drums stay dry and undisturbed,
// the tonal parts are ducked under the kick, and two sends feed the effects.
struct Mix {
    explicit Mix(size_t frames) : drums(frames), music(frames), reverbSend(frames), delaySend(frames) {}
    size_t Frames() const { return drums.Frames(); }
    StereoBus drums, music, reverbSend, delaySend;
};

} // namespace Soundtrack
