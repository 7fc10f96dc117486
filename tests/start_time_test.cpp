#include "runtime/StartTime.h"
#include "tests/support/GlTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

using Demo::GetStartTime;

TEST(StartTime, NoArgumentStartsAtZero)
{
    EXPECT_EQ(GetStartTime(""), 0);
    EXPECT_EQ(GetStartTime("r"), 0);
    EXPECT_EQ(GetStartTime("ruvo"), 0);
    EXPECT_EQ(GetStartTime("./ruvo"), 0);
    EXPECT_EQ(GetStartTime(nullptr), 0);
    // A quoted path stops at its closing quote and converts the empty rest.
    EXPECT_EQ(GetStartTime("\"C:/demo/ruvo.exe\""), 0);
}

TEST(StartTime, ReadsTheNumberAfterTheProgramName)
{
    EXPECT_EQ(GetStartTime("ruvo 60000"), 60000);
    EXPECT_EQ(GetStartTime("\"ruvo\" 60000"), 60000);
    EXPECT_EQ(GetStartTime("ruvo   60000"), 60000);
    EXPECT_EQ(GetStartTime("ruvo 60000 12"), 60000);
}

TEST(StartTime, QuotedPathWithSpaceStopsAtTheSpace)
{
    EXPECT_EQ(GetStartTime("\"/home/my demos/ruvo\" 60000"), 0);
    EXPECT_EQ(GetStartTime("\"/home/2024 demos/ruvo\" 60000"), 0);
    EXPECT_EQ(GetStartTime("\"/home/a 2024demos/ruvo\" 60000"), 2024);
}

TEST(StartTime, ConvertsLikeAtoi)
{
    EXPECT_EQ(GetStartTime("ruvo abc"), 0);
    EXPECT_EQ(GetStartTime("ruvo 123abc"), 123);
    EXPECT_EQ(GetStartTime("ruvo -5000"), -5000);
    EXPECT_EQ(GetStartTime("ruvo +42"), 42);
    EXPECT_EQ(GetStartTime("ruvo -"), 0);
    EXPECT_EQ(GetStartTime("ruvo "), 0);
}

TEST(StartTime, OutOfRangeNumbersSaturateInsteadOfWrapping)
{
    EXPECT_EQ(GetStartTime("ruvo 4294967296"), 2147483647);
    EXPECT_EQ(GetStartTime("ruvo 99999999999999999999999999"), 2147483647);
    EXPECT_EQ(GetStartTime("ruvo -99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(GetStartTime("ruvo 2147483647"), 2147483647);
}

namespace {

// Notes the beat event of every frame it renders in.
class EventRecorder : public Demo::IEffect {
public:
    void Render(Adapter::Graphics&, unsigned, unsigned, int syncEvent) override { events.push_back(syncEvent); }
    std::vector<int> events;
};

// The whole show, with the generated beat files, started as the program
// starts it, on a scripted clock; a recorder added after the last scene sees
// the event of each frame.
class ShowStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(TestSupport::BuildDir().c_str()), 0);
        show.reset(new TestSupport::ScriptedShow(TestSupport::ScriptedShow::WholeTimeline));
        show->player->AddEffect(&always, &recorder);
        show->session.Load();
    }

    // The events of frames at `times`, after a start at `startTime`.
    std::vector<int> EventsAfterStart(int startTime, const std::vector<unsigned>& times)
    {
        show->session.StartMusic(startTime);
        for (unsigned time : times)
            show->Frame(time);
        return recorder.events;
    }

    Demo::AlwaysOnTiming always;
    EventRecorder recorder;
    std::unique_ptr<TestSupport::ScriptedShow> show; // holds the two above
};

} // namespace

// From 150 s, where a bass mark lies at the start itself and 216 bass and 78
// clap marks before it: the first frame fires the mark at the start, and the
// next second fires only the mark due in it, as continuous play would.
TEST_F(ShowStart, LateStartDropsEarlierMarksAndFiresTheOneAtTheStart)
{
    std::vector<unsigned> times;
    for (unsigned time = 150000; time <= 151000; time += 100)
        times.push_back(time);
    const std::vector<int> events = EventsAfterStart(150000, times);
    std::vector<int> expected(times.size(), Demo::SyncNone);
    expected[0] = Demo::SyncBass;  // 150.0 s
    expected[5] = Demo::SyncBass;  // 150.5 s
    expected[10] = Demo::SyncBass; // 151.0 s
    EXPECT_EQ(events, expected);
}

// A start at 0 drops nothing: a clock that then jumps to 12 s (a stalled
// frame) still finds the five marks from 10 s on overdue, and they fire one
// a frame, as they always have.
TEST_F(ShowStart, StartAtZeroKeepsEveryMark)
{
    const std::vector<int> events = EventsAfterStart(0, {0, 12000, 12016, 12033, 12050, 12066, 12083});
    const int none = Demo::SyncNone, bass = Demo::SyncBass;
    EXPECT_EQ(events, (std::vector<int>{none, bass, bass, bass, bass, bass, none}));
}
