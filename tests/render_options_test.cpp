#include "graphics/FrameSize.h"
#include "render/OfflineRenderer.h"
#include "render/RenderOptions.h"
#include "tests/support/GlTest.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using Render::FrameCount;
using Render::FrameTime;
using Render::ParseRenderOptions;
using Render::RenderOptions;

namespace {

RenderOptions Parse(const std::vector<const char*>& args)
{
    std::vector<std::string> storage{"ruvo-render"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : storage)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return ParseRenderOptions(static_cast<int>(storage.size()), argv.data());
}

} // namespace

TEST(RenderOptions, DefaultsCoverTheWholeShowAtSixtyFps)
{
    const RenderOptions options = Parse({"--frames", "out"});
    EXPECT_EQ(options.rateNumerator, 60u);
    EXPECT_EQ(options.rateDenominator, 1u);
    EXPECT_EQ(options.start, 0u);
    EXPECT_EQ(options.end, Demo::showEnd);
    EXPECT_EQ(options.framesDir, "out");
    EXPECT_EQ(FrameCount(options), 12240u);
}

TEST(RenderOptions, ShortAndLongFormsAndFractionalRates)
{
    const RenderOptions options = Parse({"-r", "60000/1001", "--start=1000", "-e", "2000", "--video=show.mp4"});
    EXPECT_EQ(options.rateNumerator, 60000u);
    EXPECT_EQ(options.rateDenominator, 1001u);
    EXPECT_EQ(options.start, 1000u);
    EXPECT_EQ(options.end, 2000u);
    EXPECT_EQ(options.videoFile, "show.mp4");
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
    EXPECT_TRUE(Parse({"--help"}).help);
    const RenderOptions large = Parse({"--size", "3840x2160", "--video", "4k.mp4"});
    EXPECT_EQ(large.width, 3840);
    EXPECT_EQ(large.height, 2160);
}

TEST(RenderOptions, RejectsWhatItCannotRender)
{
    for (auto args : std::vector<std::vector<const char*>>{
             {},                                    // no output
             {"--frames", "a", "--video", "b.mp4"}, // two outputs
             {"--frames", "a", "--start", "5000", "--end", "5000"},
             {"--frames", "a", "--start", "-5"},
             {"--frames", "a", "--end", "12x"},
             {"--frames", "a", "--fps", "0"},
             {"--frames", "a", "--fps", "60/0"},
             {"--frames", "a", "--fps", "5000"},
             {"--frames", "a", "--start", "4294967296"},
             {"--frames", "a", "--fps", "1", "--start", "100", "--end", "200", "--preroll"}, // no grid frame
             {"--frames", "a", "--bogus"},
             {"--frames", "a", "extra"},
             {"--frames", "a", "--size", "1920"},
             {"--frames", "a", "--size", "0x1080"},
             {"--frames", "a", "--size", "1920x-1080"},
             {"--frames", "a", "--size", "99999x1080"},
             {"--frames", "a", "--size", "+1920x1080"},
             {"--frames", "a", "--size", "16384x16384"},  // fits no frame memory
             {"--video", "b.mp4", "--size", "1843x1080"}, // H.264 4:2:0 wants even sides
             {"--frames"}}) {
        EXPECT_THROW(Parse(args), std::invalid_argument)
            << (args.empty() ? "(none)" : args.back());
    }
}

// One syntax for every size on a command line: the show's window, the
// renderer's and the benchmark's frames.
TEST(FrameSize, WidthxHeightInDigitsWithinTheLimit)
{
    int width = 7, height = 9;
    for (const char* text :
         {"", "1920", "1920x", "x1080", "0x0", "1x0", "16385x1", "100000x100000", "99999999999999999999x1", "1920X1080",
          " 1920x1080", "+1920x1080", "1920x+1080", "-1x5", "1920x1080 ", "1920x1080x3", "1920 x 1080"})
        EXPECT_FALSE(Adapter::ReadFrameSize(text, width, height)) << "'" << text << "'";
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 9);
    ASSERT_TRUE(Adapter::ReadFrameSize("16384x1", width, height));
    EXPECT_EQ(width, 16384);
    ASSERT_TRUE(Adapter::ReadFrameSize("0640x480", width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

TEST(RenderOptions, AFrameTooLargeForItsMemoryIsRefused)
{
    // Two frames, the one read back and one being written, within 512 MiB.
    EXPECT_EQ(Parse({"--frames", "a", "--size", "8192x8192"}).width, 8192);
    EXPECT_EQ(Parse({"--frames", "a", "--size", "16384x4096"}).width, 16384);
    std::string failure;
    try {
        Parse({"--frames", "a", "--size", "8192x8193"});
    } catch (const std::invalid_argument& error) {
        failure = error.what();
    }
    EXPECT_NE(failure.find("8192x8193"), std::string::npos) << failure;
    EXPECT_NE(failure.find("512 MiB"), std::string::npos) << failure;
}

TEST(RenderOptions, FramesLieOnTheGridAndStopBeforeTheEnd)
{
    RenderOptions options = Parse({"--frames", "a", "--start", "1000", "--end", "1100"});
    // 60 fps: 1000, 1016, 1033, 1050, 1066, 1083 (then 1100 is excluded).
    EXPECT_EQ(FrameCount(options), 6u);
    EXPECT_EQ(FrameTime(options, 0), 1000u);
    EXPECT_EQ(FrameTime(options, 1), 1016u);
    EXPECT_EQ(FrameTime(options, 2), 1033u);
    EXPECT_EQ(FrameTime(options, 5), 1083u);
    EXPECT_EQ(FrameTime(options, 6), 1100u);

    options = Parse({"--frames", "a", "--fps", "60000/1001", "--end", "1001"});
    EXPECT_EQ(FrameCount(options), 60u);
    EXPECT_EQ(FrameTime(options, 60), 1001u);

    // No drift over the whole show.
    options = Parse({"--frames", "a", "--fps", "30"});
    EXPECT_EQ(FrameCount(options), 6120u);
    EXPECT_EQ(FrameTime(options, 6119), 203966u);
}

TEST(RenderOptions, PrerollPlaysTheWholeShowsGridFromZero)
{
    // 60 fps from 0: 0, 16, 33, ..., 100, 116, 133, then 150 is excluded.
    const RenderOptions options = Parse({"--frames", "a", "--start", "100", "--end", "150", "--preroll"});
    EXPECT_EQ(FrameCount(options), 9u);
    EXPECT_EQ(Render::FirstWrittenFrame(options), 6u);
    EXPECT_EQ(FrameTime(options, 6), 100u);

    // Off the grid, the first written frame is the first after the start;
    // without a pre-roll the grid begins at the start itself.
    const RenderOptions offGrid = Parse({"-p", "--frames", "a", "--start", "101", "--end", "150"});
    EXPECT_EQ(FrameTime(offGrid, Render::FirstWrittenFrame(offGrid)), 116u);
    EXPECT_EQ(Render::FirstWrittenFrame(Parse({"--frames", "a", "--start", "101"})), 0u);
}

namespace {

// Keeps the frames from a music time on, with their times.
class FrameKeeper : public Render::IFrameOutput {
public:
    explicit FrameKeeper(unsigned from) : from(from) {}
    bool Wants(unsigned time) const override
    {
        asked = time;
        return time >= from;
    }
    void Write(const Render::Frame& frame) override
    {
        times.push_back(asked);
        frames.push_back(frame.pixels);
    }
    void Finish() override {}
    void Abandon() override {}

    std::vector<unsigned> times;
    std::vector<std::vector<unsigned char>> frames;

private:
    unsigned from;
    mutable unsigned asked = 0;
};

FrameKeeper Rendered(const RenderOptions& options, unsigned from)
{
    FrameKeeper keeper(from);
    Render::OfflineRenderer(options).Run(keeper, nullptr);
    return keeper;
}

} // namespace

// At 24 fps the bass mark at 10 s dims the logo's sky in the frame at 10000
// and the next, at 10041. A render started there drops the mark; a pre-roll
// must give that frame, and the one after, exactly as the whole show does.
TEST(RenderPreroll, FramesEqualThoseOfTheWholeShow)
{
    ASSERT_EQ(chdir(TestSupport::BuildDir().c_str()), 0);
    // Scene state outlives a render within one process: the render from the
    // start goes first, so that it begins with the initial values.
    const FrameKeeper plain = Rendered(Parse({"-f", "a", "--fps", "24", "-s", "10041", "-e", "10042"}), 0);
    const FrameKeeper whole = Rendered(Parse({"-f", "a", "--fps", "24", "--end", "10100"}), 10041);
    const FrameKeeper preroll = Rendered(Parse({"-f", "a", "--fps", "24", "-s", "10041", "-e", "10100", "-p"}), 0);

    ASSERT_EQ(whole.times, (std::vector<unsigned>{10041, 10083}));
    EXPECT_EQ(preroll.times, whole.times);
    ASSERT_EQ(preroll.frames.size(), whole.frames.size());
    for (size_t i = 0; i < whole.frames.size(); ++i)
        EXPECT_TRUE(preroll.frames[i] == whole.frames[i]) << "frame at " << whole.times[i] << " ms";
    // Without the pre-roll the frame differs: the range does test the history.
    ASSERT_EQ(plain.times, (std::vector<unsigned>{10041}));
    EXPECT_FALSE(plain.frames[0] == whole.frames[0]);
}
