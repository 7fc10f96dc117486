#include "RenderOptions.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
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
    EXPECT_EQ(options.end, 204000u);
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
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(RenderOptions, RejectsWhatItCannotRender)
{
    for (auto args : std::vector<std::vector<const char*>>{
             {},                                          // no output
             {"--frames", "a", "--video", "b.mp4"},       // two outputs
             {"--frames", "a", "--start", "5000", "--end", "5000"},
             {"--frames", "a", "--start", "-5"},
             {"--frames", "a", "--end", "12x"},
             {"--frames", "a", "--fps", "0"},
             {"--frames", "a", "--fps", "60/0"},
             {"--frames", "a", "--fps", "5000"},
             {"--frames", "a", "--start", "4294967296"},
             {"--frames", "a", "--bogus"},
             {"--frames", "a", "extra"},
             {"--frames"}}) {
        EXPECT_THROW(Parse(args), std::invalid_argument)
            << (args.empty() ? "(none)" : args.back());
    }
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
