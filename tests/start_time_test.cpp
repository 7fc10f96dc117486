#include "app/CommandLine.h"
#include "tests/support/GlTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

using Demo::ParseShowOptions;
using Demo::UsageError;

namespace {

Demo::ShowOptions Parse(std::vector<const char*> words, const char* vsync = nullptr)
{
    words.insert(words.begin(), "/home/my demos/ruvo");
    return ParseShowOptions(static_cast<int>(words.size()), words.data(), vsync);
}

} // namespace

TEST(CommandLine, StartTimeIsItsOwnWordConvertedLikeAtoi)
{
    EXPECT_EQ(Parse({}).startTime, 0);
    // The program's path, spaces and all, is not read.
    EXPECT_EQ(Parse({"60000"}).startTime, 60000);
    EXPECT_EQ(Parse({"123abc"}).startTime, 123);
    EXPECT_EQ(Parse({"-5000"}).startTime, -5000);
    EXPECT_EQ(Parse({"+42"}).startTime, 42);
    EXPECT_EQ(Parse({" 7"}).startTime, 7);
    // Out of range saturates instead of wrapping.
    EXPECT_EQ(Parse({"4294967296"}).startTime, 2147483647);
    EXPECT_EQ(Parse({"-99999999999999999999"}).startTime, -2147483647 - 1);
}

TEST(CommandLine, OptionsInAnyOrderAroundTheStartTime)
{
    Demo::ShowOptions options = Parse({"--window", "60000", "--classic"});
    EXPECT_EQ(options.startTime, 60000);
    EXPECT_EQ(options.display.surface, Adapter::Surface::Window);
    EXPECT_EQ(options.display.width, 1024);
    EXPECT_EQ(options.display.height, 768);
    EXPECT_EQ(options.display.drawing, Adapter::DrawingSize::Classic);

    options = Parse({"60000", "-w", "1280x720", "--native"});
    EXPECT_EQ(options.startTime, 60000);
    EXPECT_EQ(options.display.width, 1280);
    EXPECT_EQ(options.display.height, 720);
    EXPECT_EQ(options.display.drawing, Adapter::DrawingSize::Native);

    options = Parse({"--window=640x480"});
    EXPECT_EQ(options.display.width, 640);
    EXPECT_EQ(options.startTime, 0);

    // Live play waits for the screen's refresh unless RUVO_VSYNC=0.
    options = Parse({});
    EXPECT_TRUE(options.display.vsync);
    EXPECT_FALSE(Parse({}, "0").display.vsync);
    EXPECT_EQ(options.display.surface, Adapter::Surface::FullScreen);
    EXPECT_EQ(options.display.drawing, Adapter::DrawingSize::Automatic);
    EXPECT_TRUE(Parse({"--help", "5"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(CommandLine, RefusesWhatItCannotFollow)
{
    EXPECT_THROW(Parse({"--bogus"}), UsageError);
    EXPECT_THROW(Parse({"-x"}), UsageError);
    EXPECT_THROW(Parse({"60000", "12"}), UsageError);
    EXPECT_THROW(Parse({"abc"}), UsageError);
    EXPECT_THROW(Parse({""}), UsageError);
    EXPECT_THROW(Parse({"--window=big"}), UsageError);
    EXPECT_THROW(Parse({"--window=0x480"}), UsageError);
    EXPECT_THROW(Parse({"--window=1280x720x3"}), UsageError);
    EXPECT_THROW(Parse({"--window=99999x720"}), UsageError);
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
