#include "runtime/IEffect.h"
#include "runtime/ITimingElement.h"
#include "support/GlTest.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
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

    show.SetLastTime(500); // as if SDL had run 500 ms before the player was built
    show.Frame(20);
    show.Frame(36);
    show.Frame(36);
    show.Frame(30);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].delta, 4294966816u); // 20 - 500, wrapped
    EXPECT_EQ(calls[1].delta, 16u);
    EXPECT_EQ(calls[2].delta, 0u);
    EXPECT_EQ(calls[3].delta, 4294967290u);
    EXPECT_EQ(show.player->lastTime, 30u);
    // The conversion scenes make: an unsigned value, never negative.
    EXPECT_GT(static_cast<float>(calls[3].delta), 4.0e9f);
}

TEST_F(FrameStep, FirstDeltaIsMeasuredFromTheTicksAtConstruction)
{
    RecordingEffect scene("scene", calls);
    Demo::AlwaysOnTiming always;
    show.player->AddEffect(&always, &scene);
    const unsigned ticksAtConstruction = show.player->lastTime;
    show.Frame(60000);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].delta, 60000u - ticksAtConstruction);
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
