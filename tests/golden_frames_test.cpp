// Golden frames: one frame of each scene, rendered as ruvo-render renders it
// (every frame from the scene's start on the 60 fps grid, so the beat history
// is the one the beat files give from there), shrunk and compared with the
// picture kept in tests/golden/ (support/Golden.h says how, and how to
// rewrite the pictures after an intended change of the look).
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "render/BackBuffer.h"
#include "render/OfflineRenderer.h"
#include "tests/support/GlTest.h"
#include "tests/support/Golden.h"
#include "tests/support/Image.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace TestSupport;

struct GoldenFrame {
    const char* name;
    unsigned time;
};

// Scenes load "data/..." from the build folder, whatever the runner's folder.
class GoldenFrames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chdir(BuildDir().c_str()), 0); }

    // Renders from the scene's start at 60 fps up to the last wanted frame
    // and checks each wanted frame.
    void CheckFrames(unsigned sceneStart, const std::vector<GoldenFrame>& frames)
    {
        std::vector<unsigned> times;
        for (const GoldenFrame& frame : frames)
            times.push_back(frame.time);
        Render::RenderOptions options;
        options.start = sceneStart;
        options.end = times.back() + 1;
        const std::vector<Image> pictures = RenderShrunk(options, times);
        ASSERT_EQ(pictures.size(), frames.size()) << "a wanted time is not on the 60 fps grid from " << sceneStart
                                                  << " ms";
        for (size_t i = 0; i < frames.size(); ++i)
            CheckGolden(frames[i].name, pictures[i]);
    }
};

// The background fading up and sliding in from the right, the logo fading in.
TEST_F(GoldenFrames, Logo) { CheckFrames(0, {{"logo", 5000}}); }

// The flower column in front of the garden, a veil sprite among them.
TEST_F(GoldenFrames, Particles) { CheckFrames(37000, {{"particles", 39000}}); }

// The outlined, fogged tube and the banner on its way in.
TEST_F(GoldenFrames, Cylinder) { CheckFrames(52000, {{"cylinder", 54000}}); }

// The textured ball tumbling in its veil.
TEST_F(GoldenFrames, Ball) { CheckFrames(66000, {{"ball", 68000}}); }

// The drink rising through the black screen, then half-way out of the
// flash of the scene's first bass mark (96 s).
TEST_F(GoldenFrames, Drink) { CheckFrames(80000, {{"drink", 84050}, {"drink-flash", 96050}}); }

// The mesh row through the render target, glow, and the two skylines.
TEST_F(GoldenFrames, City) { CheckFrames(122000, {{"city", 122500}}); }

// Boxes and greetings only come in from 150 s.
TEST_F(GoldenFrames, Boxes) { CheckFrames(145000, {{"boxes", 150250}}); }

// The end text wobbling over the fading background.
TEST_F(GoldenFrames, End) { CheckFrames(185000, {{"end", 187000}}); }

// The picture shown while loading, as the player draws it before any scene.
TEST_F(GoldenFrames, Loading)
{
    Adapter::Graphics graphics(TestSupport::TestWindow());
    graphics.SetLetterboxPerspective();
    Drawables::FullScreenTexture loading("data/loader/loading.png", graphics, false, true);
    graphics.Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(loading).Draw(Drawables::Disable(GL_TEXTURE_2D));
    std::vector<unsigned char> pixels;
    Render::ReadFrame(pixels);
    CheckGolden("loading", Shrink(Render::Frame{Render::frameWidth, Render::frameHeight, pixels}));
}

// The limits must let the renderer's noise through and stop a real change:
// checked on the kept pictures themselves, without rendering.
TEST(GoldenFrameLimits, PassNoiseButStopAShiftedPicture)
{
    if (GoldenUpdateRequested())
        GTEST_SKIP() << "the kept pictures are being rewritten";
    const std::vector<std::string> names = GoldenNames();
    ASSERT_GE(names.size(), 9u);
    for (const std::string& name : names) {
        const Image kept = LoadImage(GoldenPath(name));
        ASSERT_FALSE(kept.Empty()) << name;

        Image noisy = kept;
        for (size_t i = 0; i < noisy.rgba.size(); ++i)
            if (i % 4 != 3 && i % 7 == 0)
                noisy.rgba[i] = static_cast<unsigned char>(noisy.rgba[i] < 255 ? noisy.rgba[i] + 1 : 254);
        EXPECT_TRUE(ImagesClose(kept, noisy, goldenLimits)) << name << ": one level of noise";

        // The picture area four window pixels down, as a background knocked
        // by a beat; the letterbox bands stay as they are.
        Image shifted = kept;
        for (int y = pictureBottom / goldenShrink; y > pictureTop / goldenShrink; --y)
            std::copy_n(kept.At(0, y - 1), kept.width * 4, shifted.At(0, y));
        EXPECT_FALSE(ImagesClose(kept, shifted, goldenLimits)) << name << ": shifted by four pixels";
    }
}

} // namespace
