#include "runtime/DisplayLead.h"
#include "runtime/IEffect.h"
#include "runtime/ITimingElement.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using TestSupport::ScriptedShow;

namespace {

struct Call {
    std::string scene;
    unsigned time;
    unsigned delta;
    int syncEvent;
};

class RecordingEffect : public Demo::IEffect {
public:
    RecordingEffect(const char* name, std::vector<Call>& calls) : name(name), calls(calls) {}
    void Render(Adapter::Graphics&, unsigned time, unsigned delta, int syncEvent) override
    {
        calls.push_back({name, time, delta, syncEvent});
    }
    const char* name;
    std::vector<Call>& calls;
};

// Reports its id for every time in `due`, once each, and counts its polls.
class ScriptedChannel : public Demo::ISynchronizerChannel {
public:
    ScriptedChannel(int id, std::vector<unsigned> due) : id(id), due(std::move(due)) {}
    void Load() override { ++loads; }
    int Poll(unsigned time) override
    {
        ++polls;
        for (unsigned& mark : due) {
            if (mark != ~0u && mark <= time) {
                mark = ~0u;
                return id;
            }
        }
        return 0;
    }
    void SkipBefore(unsigned) override {}
    int id;
    std::vector<unsigned> due;
    int polls = 0;
    int loads = 0;
};

// A frame timer the test moves by hand.
class ScriptedTimer : public Demo::IFrameTimer {
public:
    double NowMs() override { return now; }
    double now = 0;
};

// Frames of given lengths through a display lead, the music clock running at
// real speed unless told to stand still; keeps what a viewer would notice.
struct LeadDrive {
    ScriptedTimer timer;
    Demo::DisplayLead lead;
    unsigned reading = 60000;
    double shown = -1;        // the last display time
    double lastLead = 0;
    bool wentBack = false;    // a display time before the one of the frame before
    double steepest = 0;      // the largest change of lead per ms of music passed

    explicit LeadDrive(double fixedMs = 0) : lead(timer, fixedMs) {}

    void Frames(int count, double lengthMs, bool clockRuns = true)
    {
        for (int i = 0; i < count; ++i) {
            timer.now += lengthMs;
            const unsigned previous = reading;
            if (clockRuns)
                reading += static_cast<unsigned>(lengthMs);
            const double now = lead.Advance(reading);
            const double time = reading + now;
            if (shown >= 0) {
                wentBack = wentBack || time < shown;
                if (reading > previous)
                    steepest = std::max(steepest, std::fabs(now - lastLead) / (reading - previous));
                else
                    EXPECT_EQ(now, lastLead) << "the lead moved while the clock stood still";
            }
            shown = time;
            lastLead = now;
        }
    }
};

class FrameStep : public ::testing::Test {
protected:
    ScriptedShow show;
    std::vector<Call> calls;
};

} // namespace

TEST_F(FrameStep, OneEventPerFrameWithBassPolledFirst)
{
    ScriptedChannel bass(1, {1000, 1000});
    ScriptedChannel claps(2, {1000});
    RecordingEffect scene("scene", calls);
    Demo::AlwaysOnTiming always;
    show.player->AddChannel(&bass);
    show.player->AddChannel(&claps);
    show.player->AddEffect(&always, &scene);

    show.Frame(1000);
    show.Frame(1016);
    show.Frame(1032);
    show.Frame(1048);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].syncEvent, 1);
    EXPECT_EQ(calls[1].syncEvent, 1);
    EXPECT_EQ(calls[2].syncEvent, 2); // the clap waited behind both bass marks
    EXPECT_EQ(calls[3].syncEvent, 0);
    // The clap channel is not asked while the bass channel reports.
    EXPECT_EQ(claps.polls, 2);
    EXPECT_EQ(bass.polls, 4);
}

TEST_F(FrameStep, DeltaIsUnsignedAndWrapsWhenTheClockStepsBack)
{
    RecordingEffect scene("scene", calls);
    Demo::AlwaysOnTiming always;
    show.player->AddEffect(&always, &scene);

    show.player->Start(20, 16);
    show.Frame(20);
    show.Frame(36);
    show.Frame(36);
    show.Frame(30);
    show.Frame(46);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].delta, 16u); // the step the start gave
    EXPECT_EQ(calls[1].delta, 16u);
    EXPECT_EQ(calls[2].delta, 0u);
    EXPECT_EQ(calls[3].delta, 4294967290u);
    EXPECT_EQ(calls[4].delta, 16u); // measured from the frame that stepped back
    // The conversion scenes make: an unsigned value, never negative.
    EXPECT_GT(static_cast<float>(calls[3].delta), 4.0e9f);
}

TEST_F(FrameStep, FirstDeltaIsMeasuredFromTheTicksAtConstruction)
{
    RecordingEffect scene("scene", calls);
    Demo::AlwaysOnTiming always;
    const unsigned before = SDL_GetTicks();
    Demo::DemoPlayer player(*show.graphics, show.session.music);
    const unsigned after = SDL_GetTicks();
    player.AddEffect(&always, &scene);
    show.scope.clock.SetPosition(60000);
    player.DrawFrame();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_GE(calls[0].delta, 60000u - after);
    EXPECT_LE(calls[0].delta, 60000u - before);
}

TEST_F(FrameStep, WindowsAreInclusiveAndRenderInListOrder)
{
    RecordingEffect clear("clear", calls), logo("logo", calls), particles("particles", calls);
    Demo::AlwaysOnTiming always;
    Demo::StartEndTiming logoWindow(0, 37000), particleWindow(37000, 52000);
    show.player->AddEffect(&always, &clear);
    show.player->AddEffect(&logoWindow, &logo);
    show.player->AddEffect(&particleWindow, &particles);

    show.Frame(36999);
    show.Frame(37000);
    show.Frame(52001);
    std::vector<std::string> order;
    for (const Call& call : calls)
        order.push_back(call.scene + "@" + std::to_string(call.time));
    EXPECT_EQ(order, (std::vector<std::string>{"clear@36999", "logo@36999", "clear@37000", "logo@37000",
                                               "particles@37000", "clear@52001"}));
    // Every scene of a frame sees the same time, delta and event.
    EXPECT_EQ(calls[2].delta, calls[4].delta);
}

TEST_F(FrameStep, InitializeLoadsChannelsThenScenesInOrder)
{
    TestSupport::TestData data;
    data.WriteSolid("data/loader/loading.png", 64, 32, {10, 20, 30, 255});
    ScriptedChannel bass(1, {}), claps(2, {});
    show.player->AddChannel(&bass);
    show.player->AddChannel(&claps);

    struct InitRecorder : Demo::IEffect {
        std::vector<std::string>* log;
        ScriptedChannel* channel;
        const char* name;
        void Init(Adapter::Graphics&) override
        {
            log->push_back(std::string(name) + (channel->loads == 1 ? " after load" : " before load"));
        }
        void Render(Adapter::Graphics&, unsigned, unsigned, int) override {}
    };
    std::vector<std::string> log;
    InitRecorder first, second;
    first.log = second.log = &log;
    first.channel = second.channel = &claps;
    first.name = "first";
    second.name = "second";
    Demo::StartEndTiming never(1, 0); // timing is not consulted when loading
    show.player->AddEffect(&never, &first);
    show.player->AddEffect(&never, &second);

    show.player->Initialize();
    EXPECT_EQ(bass.loads, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"first after load", "second after load"}));
}

TEST(DisplayLead, FollowsTheFrameLengthPlusTheFixedDelay)
{
    LeadDrive drive;
    EXPECT_EQ(drive.lead.Advance(drive.reading), 0.0); // nothing measured yet: the reading as it is
    drive.Frames(40, 30);
    EXPECT_NEAR(drive.lastLead, 30, 1e-9);
    drive.Frames(40, 50);
    EXPECT_NEAR(drive.lastLead, 50, 1e-9);
    // A single stalled frame among steady ones leaves the estimate alone.
    drive.Frames(1, 400);
    drive.Frames(3, 50);
    EXPECT_NEAR(drive.lastLead, 50, 1e-9);
    EXPECT_FALSE(drive.wentBack);

    // The display's own delay counts from the first frame on.
    LeadDrive delayed(40);
    delayed.Frames(1, 30);
    EXPECT_EQ(delayed.lastLead, 40);
    delayed.Frames(40, 30);
    EXPECT_NEAR(delayed.lastLead, 70, 1e-9);
}

TEST(DisplayLead, ARunOfStallsLeadsByAQuarterSecondAtMost)
{
    // Below four frames a second (a machine far too slow, a long stall in
    // the sound device) the frames no longer say how late a frame is seen:
    // leading by their whole length would draw the picture seconds ahead of
    // the sound. The lead settles at its cap instead, and comes back down
    // with the frame rate.
    LeadDrive drive;
    drive.Frames(60, 600);
    EXPECT_NEAR(drive.lastLead, 250, 1e-9);
    drive.Frames(60, 1500);
    EXPECT_NEAR(drive.lastLead, 250, 1e-9);
    drive.Frames(200, 20);
    EXPECT_NEAR(drive.lastLead, 20, 1e-9);
    EXPECT_FALSE(drive.wentBack);
}

TEST(DisplayLead, NeverRunsBackwardsNorJumps)
{
    LeadDrive drive;
    drive.Frames(60, 100); // a slow scene
    EXPECT_NEAR(drive.lastLead, 100, 1e-9);
    drive.Frames(200, 10); // a fast one: the lead drops by 90 ms
    EXPECT_NEAR(drive.lastLead, 10, 1e-9);
    EXPECT_FALSE(drive.wentBack);
    EXPECT_LE(drive.steepest, 0.25 + 1e-9); // the picture runs at 3/4 speed at the slowest

    // The clock stands still (the sound device stalled) while frames go on.
    const double shownBefore = drive.shown;
    // Its frames have slowed down enough to move the median, yet the lead
    // has no music time to move in.
    for (const double length : {50.0, 60.0, 45.0, 55.0, 50.0, 70.0, 40.0, 65.0, 50.0, 50.0})
        drive.Frames(1, length, false);
    EXPECT_EQ(drive.shown, shownBefore);

    // Moved back (a seek), the clock takes the lead with it unchanged.
    const double leadBefore = drive.lastLead;
    drive.reading -= 5000;
    EXPECT_EQ(drive.lead.Advance(drive.reading), leadBefore);
}

TEST_F(FrameStep, LivePlayDrawsForTheDisplayTimeAndFiresMarksOnTheNearestFrame)
{
    const unsigned frameMs = 40;
    const unsigned start = 60000;
    // Readings run start, start + 40, ...; once settled, frame k is seen at
    // start + 40 k + 40. Frame 20 is seen at 60840 and frame 21 at 60880,
    // frame 23 at 60960 and frame 24 at 61000.
    ScriptedChannel claps(2, {60855, 60865, 60990});
    RecordingEffect scene("scene", calls);
    Demo::AlwaysOnTiming always;
    show.player->AddChannel(&claps);
    show.player->AddEffect(&always, &scene);

    // Without a display lead (offline, the bench) a frame is the reading.
    show.player->Start(start, frameMs);
    show.Frame(start);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].time, start);

    ScriptedTimer timer;
    Demo::DisplayLead lead(timer, 0);
    show.player->FollowDisplay(&lead);
    for (unsigned k = 1; k <= 30; ++k) {
        timer.now += frameMs;
        show.Frame(start + k * frameMs);
    }
    ASSERT_EQ(calls.size(), 31u);
    for (size_t k = 1; k < calls.size(); ++k)
        EXPECT_GE(calls[k].delta, frameMs) << k; // the lead grows into place, never back
    const Call& settled = calls[20];
    EXPECT_EQ(settled.time, start + 20 * frameMs + frameMs);
    EXPECT_EQ(settled.delta, frameMs);
    // 60855 is 15 ms after frame 20 is seen and 25 ms before frame 21: frame
    // 20 shows it. 60865 is nearer frame 21 and waits for it. 60990, three
    // quarters of a frame after frame 23, is shown by frame 24, not a whole
    // frame early by frame 23.
    EXPECT_EQ(calls[20].syncEvent, 2);
    EXPECT_EQ(calls[21].syncEvent, 2);
    EXPECT_EQ(calls[24].syncEvent, 2);
    for (size_t k = 0; k < calls.size(); ++k) {
        if (k != 20 && k != 21 && k != 24) {
            EXPECT_EQ(calls[k].syncEvent, 0) << k;
        }
    }
}

TEST(Timing, StartEndIsInclusiveAndUnsigned)
{
    Demo::StartEndTiming window(37000, 52000);
    EXPECT_FALSE(window.IsActive(36999));
    EXPECT_TRUE(window.IsActive(37000));
    EXPECT_TRUE(window.IsActive(52000));
    EXPECT_FALSE(window.IsActive(52001));
    EXPECT_FALSE(window.IsActive(static_cast<unsigned>(-1)));
    Demo::StartEndTiming fromZero(0, 37000);
    EXPECT_TRUE(fromZero.IsActive(0));
    Demo::AlwaysOnTiming always;
    EXPECT_TRUE(always.IsActive(4000000000u));
}
