#pragma once
// How long after the music clock is read a frame reaches the screen. Drawing,
// the buffer swap and the display path all lie between the two, so a frame
// drawn for the time read would be seen late, and a flash would follow the
// clap it belongs to. Live play draws each frame for its display time, the
// reading plus this lead; the offline renderer, whose clock is exact, has none.

namespace Demo {

// A monotonic clock in ms, read once per frame at the music clock read.
class IFrameTimer {
public:
    virtual ~IFrameTimer() {}
    virtual double NowMs() = 0;
};

// The process's steady clock: live play.
class SteadyFrameTimer : public IFrameTimer {
public:
    double NowMs() override;
};

// The lead is the median of recent frame-to-frame intervals (each holds a
// drawing, a swap and any wait for the display, which is what a frame spends
// between its clock read and the screen) plus a fixed delay for the display
// itself. The median rides out a single stalled frame. The lead never jumps:
// it moves towards its target by at most a quarter of the music time passed
// since the previous frame, so the display time runs on at between 3/4 and
// 5/4 of music speed while it changes, and stands still when the clock does.
class DisplayLead {
public:
    // Intervals in the median: enough to ride out a few slow frames, few
    // enough to follow a change of scene within half a second.
    static constexpr int window = 15;

    DisplayLead(IFrameTimer& timer, double fixedMs);

    // At a frame's clock read, with the clock's reading in ms: takes in the
    // interval since the previous frame and returns this frame's lead in ms.
    double Advance(unsigned reading);

    // The smoothed frame-length part of the lead, in ms.
    double FrameMs() const { return frameMs; }

private:
    double MedianInterval() const;

    IFrameTimer& timer;
    const double fixedMs;
    double intervals[window] = {};
    int stored = 0;
    int next = 0;
    bool started = false;
    double lastNowMs = 0;
    unsigned lastReading = 0;
    double frameMs = 0;
};

} // namespace Demo
