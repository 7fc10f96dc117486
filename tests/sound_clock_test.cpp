// The heard-position clock on made-up callback timings: smooth, monotonic,
// close to the device, holding where the device holds.
#include "platform/OutputLatency.h"
#include "platform/PlaybackClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using Platform::DisplayLatencyMs;
using Platform::OutputLatencyMs;
using Platform::PlaybackClock;

namespace {

const int rate = 44100;
const int buffer = 1024;
const int64_t ms = 1000000;
const double frameMs = 1000.0 / rate;

// Drives a clock with one callback every `periodNs` (or bursts of `burst`
// callbacks at once) and reads it every millisecond, tracking the figures.
struct Drive {
    PlaybackClock clock{rate};
    int64_t nextCallback = 0;
    int64_t delivered = 0;
    double last = -1;
    double maxStepMs = 0;
    double minStepMs = 1e9;
    double maxErrorMs = 0;

    void Run(int64_t fromNs, int64_t toNs, int64_t periodNs, int burst = 1)
    {
        for (int64_t now = fromNs; now < toNs; now += ms) {
            while (nextCallback <= now) {
                for (int i = 0; i < burst; ++i) {
                    clock.Delivered(delivered, buffer, nextCallback);
                    delivered += buffer;
                }
                nextCallback += periodNs * burst;
            }
            const double reading = clock.Read(now);
            if (last >= 0) {
                maxStepMs = std::max(maxStepMs, (reading - last) * frameMs);
                minStepMs = std::min(minStepMs, (reading - last) * frameMs);
            }
            maxErrorMs = std::max(maxErrorMs, std::fabs(reading - clock.DevicePosition(now)) * frameMs);
            last = reading;
        }
    }
};

} // namespace

TEST(PlaybackClock, SmoothAndCloseToTheDevice)
{
    // Callbacks a little fast (the dummy driver), on time, late, and in pairs
    // (a device that jumps 23 ms at once cannot be followed both smoothly
    // and closely).
    const struct {
        int64_t period;
        int burst;
        double maxErrorMs;
    } cases[] = {{23000000, 1, 1.0}, {23220000, 1, 1.0}, {23400000, 1, 1.0}, {23220000, 2, 24.0}};
    for (const auto& c : cases) {
        Drive drive;
        drive.clock.Restart(0, true);
        drive.Run(0, 2000 * ms, c.period, c.burst);
        EXPECT_LE(drive.maxStepMs, 2.0 + 1e-6) << c.period << " x" << c.burst;
        EXPECT_GE(drive.minStepMs, 0.0) << c.period << " x" << c.burst;
        EXPECT_LE(drive.maxErrorMs, c.maxErrorMs) << c.period << " x" << c.burst;
    }
}

TEST(PlaybackClock, HoldsWhereTheDeviceHolds)
{
    Drive drive;
    drive.clock.Restart(0, true);
    drive.Run(0, 500 * ms, 23220000);
    // No callbacks for 200 ms: the reading stops at the end of what was given.
    const double stalledAt = drive.clock.Read(700 * ms);
    EXPECT_NEAR(static_cast<double>(drive.delivered), stalledAt, 1);
    EXPECT_DOUBLE_EQ(stalledAt, drive.clock.Read(710 * ms));
    // When callbacks come back it carries on from there, never backwards.
    drive.nextCallback = 720 * ms;
    drive.last = stalledAt;
    drive.Run(720 * ms, 1200 * ms, 23220000);
    EXPECT_GE(drive.minStepMs, 0.0);
    EXPECT_LE(drive.maxStepMs, 2.0 + 1e-6);
}

TEST(PlaybackClock, JumpsToADeviceFarAheadAndClosesASmallGapSmoothly)
{
    const int64_t gapAt = 500 * ms;
    for (const int gapMs : {30, 200}) {
        Drive drive;
        drive.clock.Restart(0, true);
        drive.Run(0, gapAt, 23220000);
        // The device plays on from further ahead than it was given, without
        // a seek (it dropped audio, say).
        drive.delivered += static_cast<int64_t>(gapMs) * rate / 1000;
        drive.maxStepMs = 0;
        drive.Run(gapAt, gapAt + 200 * ms, 23220000);
        const double errorMs = std::fabs(drive.last - drive.clock.DevicePosition(gapAt + 199 * ms)) * frameMs;
        EXPECT_LT(errorMs, 1.0) << gapMs;
        if (gapMs == 30)
            EXPECT_LE(drive.maxStepMs, 2.0 + 1e-6); // caught up at no more than twice real speed
        else
            EXPECT_GT(drive.maxStepMs, 150.0); // one jump rather than seconds of fast-forward
    }
}

TEST(PlaybackClock, StartsAtThePositionSetAndWaitsOutTheLatency)
{
    PlaybackClock clock(rate);
    clock.SetLatency(2 * buffer);
    clock.Restart(60 * rate, true);
    EXPECT_DOUBLE_EQ(60.0 * rate, clock.Read(0));
    clock.Delivered(60 * rate, buffer, 1 * ms);
    // The new audio is still queued behind two buffers: nothing heard yet.
    EXPECT_DOUBLE_EQ(60.0 * rate, clock.Read(20 * ms));
    clock.Delivered(60 * rate + buffer, buffer, 24 * ms);
    clock.Delivered(60 * rate + 2 * buffer, buffer, 47 * ms);
    EXPECT_NEAR(60.0 * rate + 3 * rate / 1000.0, clock.Read(50 * ms), 2.2 * rate / 1000.0);

    // A seek backwards moves the reading at once; pausing freezes it.
    clock.Restart(5 * rate, true);
    EXPECT_DOUBLE_EQ(5.0 * rate, clock.Read(51 * ms));
    clock.Restart(7 * rate, false);
    clock.Delivered(9 * rate, buffer, 52 * ms);
    EXPECT_DOUBLE_EQ(7.0 * rate, clock.Read(80 * ms));
    EXPECT_DOUBLE_EQ(7.0 * rate, clock.Read(900 * ms));
}

TEST(OutputLatency, DriverDefaultsAndOverride)
{
    EXPECT_EQ(0, OutputLatencyMs("dummy", 23, nullptr));
    EXPECT_EQ(0, OutputLatencyMs("disk", 23, ""));
    EXPECT_EQ(23, OutputLatencyMs("pulseaudio", 23, nullptr));
    // PipeWire's own client is heard about half a buffer after SDL takes it.
    EXPECT_EQ(11, OutputLatencyMs("pipewire", 23, nullptr));
    EXPECT_EQ(23, OutputLatencyMs(nullptr, 23, nullptr));
    EXPECT_EQ(40, OutputLatencyMs("dummy", 23, "40"));
    EXPECT_EQ(0, OutputLatencyMs("alsa", 23, "0"));
    EXPECT_EQ(1000, OutputLatencyMs("alsa", 23, "1000"));
    // Nonsense is ignored rather than trusted.
    for (const char* bad : {"-5", "1001", "12ms", "abc", " ", "99999999999999999999"}) {
        EXPECT_EQ(23, OutputLatencyMs("alsa", 23, bad)) << bad;
        EXPECT_EQ(0, DisplayLatencyMs(bad)) << bad;
    }
    // The display's delay: none unless set, by the same rules.
    EXPECT_EQ(0, DisplayLatencyMs(nullptr));
    EXPECT_EQ(0, DisplayLatencyMs(""));
    EXPECT_EQ(35, DisplayLatencyMs("35"));
    EXPECT_EQ(1000, DisplayLatencyMs("1000"));
}
