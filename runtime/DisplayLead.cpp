#include "runtime/DisplayLead.h"

#include <algorithm>
#include <chrono>

namespace Demo {

namespace {

// Share of the music time passed by which the lead may change: small enough
// that the picture never visibly lurches, large enough to settle within a
// fraction of a second after a change of scene.
const double slewShare = 0.25;
// A frame slower than this is a stall, not a frame rate worth leading by.
const double longestIntervalMs = 250;

} // namespace

double SteadyFrameTimer::NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

DisplayLead::DisplayLead(IFrameTimer& timer, double fixedMs) : timer(timer), fixedMs(fixedMs) {}

double DisplayLead::MedianInterval() const
{
    if (stored == 0)
        return 0;
    double sorted[window];
    std::copy(intervals, intervals + stored, sorted);
    std::nth_element(sorted, sorted + stored / 2, sorted + stored);
    return sorted[stored / 2];
}

double DisplayLead::Advance(unsigned reading)
{
    const double now = timer.NowMs();
    if (started) {
        intervals[next] = std::clamp(now - lastNowMs, 0.0, longestIntervalMs);
        next = (next + 1) % window;
        stored = std::min(stored + 1, window);
        // A clock that stands still or was moved back gives the lead no room.
        const double passed = reading > lastReading ? static_cast<double>(reading - lastReading) : 0.0;
        const double room = passed * slewShare;
        frameMs += std::clamp(MedianInterval() - frameMs, -room, room);
    }
    started = true;
    lastNowMs = now;
    lastReading = reading;
    return frameMs + fixedMs;
}

} // namespace Demo
