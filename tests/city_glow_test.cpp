// The city's summed glow is the same glow to a viewer as its 24 copies
// blended one by one over the screen: on the show's own pictures, at times
// across the scene (the camera on both sides of the row, at the resting glow
// and in a bass flash), the two frames differ by at most one
// level per channel on average and by more than 8 levels on at most 0.1 % of
// the pixels. The fill by fill blending of the copies already rounds each of
// them on its own, so the two could never agree exactly. (A clap's flash is
// drawn copy by copy either way.)
#include "render/BackBuffer.h"
#include "scenes/FlatEffect.h"
#include "tests/support/GlTest.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace TestSupport;
using Effects::BlurEffect;
namespace FlatState = Effects::FlatState;

namespace {

const int bass = 1;
// Levels a pixel may differ by, and the share of pixels that may differ by
// more.
const int closeLevels = 8;
const double farShare = 0.001;
const double meanLimit = 1.0;

struct Difference {
    double mean = 0;   // per channel
    double far = 0;    // share of pixels with a channel more than closeLevels off
};

Difference Compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    Difference d;
    const size_t pixels = a.size() / 4;
    for (size_t i = 0; i < a.size(); i += 4) {
        int most = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const int off = std::abs(a[i + channel] - b[i + channel]);
            d.mean += off;
            most = std::max(most, off);
        }
        d.far += most > closeLevels ? 1 : 0;
    }
    d.mean /= 3.0 * static_cast<double>(pixels);
    d.far /= static_cast<double>(pixels);
    return d;
}

class CityGlow : public GlTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(BuildDir().c_str()), 0);
        GlTest::SetUp();
        scene.Init(*graphics);
    }

    // The frame of `time` with `syncEvent` in it, after one frame 16 ms
    // before it (which leaves bound the texture the rings sample), from the
    // scene's initial state.
    std::vector<unsigned char> FrameAt(unsigned time, int syncEvent, BlurEffect::GlowMethod method)
    {
        FlatState::backShift = FlatState::backFlash = FlatState::frontFlash = 0;
        scene.blurStrength = 0;
        scene.glowMethod = method;
        scene.Render(*graphics, time - 16, 16, 0);
        scene.Render(*graphics, time, 16, syncEvent);
        std::vector<unsigned char> pixels;
        Render::ReadFrame(pixels);
        return pixels;
    }

    void ExpectSameGlow(unsigned time, int syncEvent)
    {
        SCOPED_TRACE(testing::Message() << "time " << time << " event " << syncEvent << ", "
                                        << scene.CopiesPerFill() << " copies a fill");
        const std::vector<unsigned char> copies = FrameAt(time, syncEvent, BlurEffect::GlowMethod::Copies);
        const std::vector<unsigned char> summed = FrameAt(time, syncEvent, BlurEffect::GlowMethod::Summed);
        const Difference d = Compare(copies, summed);
        EXPECT_LE(d.mean, meanLimit);
        EXPECT_LE(d.far, farShare);
    }

    Effects::FlatEffect scene;
};

} // namespace

TEST_F(CityGlow, SummedGlowLooksAsTheCopiesDo)
{
    EXPECT_GE(scene.CopiesPerFill(), 2) << "Mesa combines several copies a fill";
    const struct {
        unsigned time;
        int syncEvent;
    } frames[] = {{125000, bass}, {127300, 0}, {131000, 0}, {138100, bass}, {141700, 0}, {144500, 0}};
    for (const auto& frame : frames)
        ExpectSameGlow(frame.time, frame.syncEvent);

    // A driver with one texture unit adds one copy a fill and lays the sum
    // over the picture in a fill of its own.
    scene.LimitTextureUnits(1);
    ExpectSameGlow(134000, 0);
}
