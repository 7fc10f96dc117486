#include "platform/PlaybackClock.h"

#include <algorithm>
#include <chrono>

namespace Platform {

namespace {
// Further ahead than this the reading jumps rather than catching up (the
// device was stalled for long, say); smaller gaps close at up to 2x speed.
const double jumpSeconds = 0.05;
} // namespace

int64_t PlaybackClock::NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PlaybackClock::Delivered(int64_t first, int frames, int64_t nowNs)
{
    std::lock_guard<std::mutex> hold(lock);
    anchorFrame = first;
    anchorNs = nowNs;
    anchorLength = frames;
    anchored = true;
}

void PlaybackClock::Restart(int64_t frame, bool run)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        anchored = false;
    }
    floorFrame = frame;
    running = run;
    snap = true;
}

double PlaybackClock::DevicePosition(int64_t nowNs)
{
    int64_t frame, at;
    int length;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!anchored)
            return static_cast<double>(floorFrame);
        frame = anchorFrame;
        at = anchorNs;
        length = anchorLength;
    }
    // Once the device has played all it was given it waits for more.
    const double elapsed = std::min(static_cast<double>(nowNs - at) * rate * 1e-9, static_cast<double>(latency + length));
    return std::max(static_cast<double>(floorFrame), frame - latency + std::max(0.0, elapsed));
}

double PlaybackClock::Read(int64_t nowNs)
{
    if (!running) {
        snap = true;
        return static_cast<double>(floorFrame);
    }
    const double target = DevicePosition(nowNs);
    double reading = target;
    if (!snap) {
        const double step = std::max(0.0, static_cast<double>(nowNs - lastNs) * rate * 1e-9);
        const double error = target - (lastReading + step);
        if (error < jumpSeconds * rate)
            reading = lastReading + step + std::clamp(error, -step, step);
    }
    snap = false;
    lastReading = reading;
    lastNs = nowNs;
    return reading;
}

} // namespace Platform
