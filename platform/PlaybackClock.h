#pragma once
// The play position a listener hears, from the buffers handed to the audio
// device. Callbacks come in steps of a whole buffer (23 ms at 1024 frames),
// so between them the position is carried on by a monotonic clock, and a
// reading is steered towards the device's position at no more than twice or
// less than zero times real speed: it never runs backwards while playing and
// never jumps, yet stays within a fraction of a millisecond of the device.
#include <cstdint>
#include <mutex>

namespace Platform {

class PlaybackClock {
public:
    explicit PlaybackClock(int rate = 44100) : rate(rate) {}

    // Both only while no audio is being delivered.
    void SetRate(int framesPerSecond) { rate = framesPerSecond; }

    // Frames between a buffer leaving the callback and it being heard.
    void SetLatency(int64_t frames) { latency = frames; }
    int64_t Latency() const { return latency; }
    int Rate() const { return rate; }

    // Audio thread: `frames` frames from stream frame `first` on were handed
    // to the device at `nowNs`.
    void Delivered(int64_t first, int frames, int64_t nowNs);

    // Main thread: the stream now stands at `frame` (a seek, start or pause).
    // The reading holds there until audio from it is heard; while not
    // running it stays there.
    void Restart(int64_t frame, bool running);

    // Main thread: the position heard at `nowNs`, in frames.
    double Read(int64_t nowNs);

    // The position the device is consuming at `nowNs`, from the last buffer
    // alone (what Read steers towards).
    double DevicePosition(int64_t nowNs);

    static int64_t NowNs();

private:
    int rate;
    int64_t latency = 0;

    // Written by the audio thread, under the lock.
    std::mutex lock;
    int64_t anchorFrame = 0;
    int64_t anchorNs = 0;
    int anchorLength = 0;
    bool anchored = false;

    // Main thread only.
    int64_t floorFrame = 0;
    bool running = false;
    bool snap = true;
    double lastReading = 0;
    int64_t lastNs = 0;
};

} // namespace Platform
