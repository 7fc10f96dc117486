// The show played through from its start, as `ruvo-render --fps 2` renders
// it, with frames kept from after the scene hand-overs. Each scene's golden
// frame is rendered from that scene's own start; here every scene follows
// the ones before it, so whatever a scene leaves behind (a GL setting, a
// texture parameter, a bound texture, a matrix) shows in the next, and the
// city, whose view sweeps back and forth, is seen at several times. The low
// frame rate keeps the cost of drawing 140 seconds of show to a few seconds;
// the beats come as they do at that rate.
#include "render/RenderOptions.h"
#include "tests/support/GlTest.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace TestSupport;

namespace {

// On the 2 fps grid (every 500 ms).
struct PlayFrame {
    const char* name;
    unsigned time;
};
const PlayFrame playFrames[] = {
    {"play-particles", 45000}, // near and distant flowers, a few hundred frames in
    {"play-ball", 76500},      // the veiled ball and its halo, after the tube's outline pass
    {"play-drink", 80000},     // the hand-over: the drink's first flash over the ball
    {"play-city-1", 123000},
    {"play-city-2", 131500},
    {"play-city-3", 138000},
    {"play-boxes", 150500},    // the boxes coming in, after the city
};

} // namespace

TEST(ContinuousPlay, FramesAfterTheHandOversMatchTheKeptPictures)
{
    ASSERT_EQ(chdir(BuildDir().c_str()), 0);
    Render::RenderOptions options;
    options.rateNumerator = 2;
    std::vector<unsigned> times;
    for (const PlayFrame& frame : playFrames)
        times.push_back(frame.time);
    options.end = times.back() + 1;
    const std::vector<Image> pictures = RenderShrunk(options, times);
    ASSERT_EQ(pictures.size(), times.size()) << "a wanted time is not on the 2 fps grid";
    for (size_t i = 0; i < times.size(); ++i)
        CheckGolden(playFrames[i].name, pictures[i]);
}
