// Golden frames: one frame of each scene, rendered as ruvo-render renders it
// (every frame from the scene's start on the 60 fps grid, so the beat history
// is the one the beat files give from there), shrunk to 256 x 192 by 4 x 4 box
// averaging and compared with the picture kept in tests/golden/. A change
// that alters what the viewer sees fails here and leaves a difference picture
// (kept | now | difference x8) in the build folder.
//
// After an intended change of the look: tests/golden/update.sh
// (or RUVO_UPDATE_GOLDEN=1 on any run of these tests) rewrites the pictures.
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "render/BackBuffer.h"
#include "render/OfflineRenderer.h"
#include "tests/support/GlTest.h"
#include "tests/support/Image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using TestSupport::Image;

const int shrink = 4;

// Limits on the channel difference between the kept and the new picture
// (0-255, after shrinking). Repeated runs of the software renderer agree
// exactly, whatever its thread count; these leave room for a level or two of
// drift between its versions. A dim background moved by three pixels already
// goes past the largest difference, a changed flash or tint past the mean.
const TestSupport::ImageLimits goldenLimits = {12, 0.25};

// Each output pixel is the rounded mean of a `shrink` x `shrink` block.
Image Shrink(const Render::Frame& frame)
{
    Image small = TestSupport::BlankImage(frame.width / shrink, frame.height / shrink);
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < shrink; ++dy) {
                    const size_t row = static_cast<size_t>(y * shrink + dy) * frame.width;
                    for (int dx = 0; dx < shrink; ++dx)
                        sum += frame.pixels[(row + x * shrink + dx) * 4 + channel];
                }
                small.At(x, y)[channel] = static_cast<unsigned char>((sum + shrink * shrink / 2) / (shrink * shrink));
            }
        }
    }
    return small;
}

// Kept, now and their difference magnified eight times, side by side.
Image DifferencePicture(const Image& kept, const Image& now)
{
    Image sheet = TestSupport::BlankImage(kept.width * 3, kept.height);
    for (int y = 0; y < kept.height; ++y) {
        for (int x = 0; x < kept.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const int a = kept.At(x, y)[channel];
                const int b = now.At(x, y)[channel];
                sheet.At(x, y)[channel] = static_cast<unsigned char>(a);
                sheet.At(x + kept.width, y)[channel] = static_cast<unsigned char>(b);
                sheet.At(x + 2 * kept.width, y)[channel] = static_cast<unsigned char>(std::min(255, 8 * std::abs(a - b)));
            }
        }
    }
    return sheet;
}

// Shrinks the frames of the wanted music times (ascending) and lets every
// other frame pass without a read-back.
class FrameCapture : public Render::IFrameOutput {
public:
    explicit FrameCapture(const std::vector<unsigned>& times) : times(times) {}
    bool Wants(unsigned time) const override { return std::find(times.begin(), times.end(), time) != times.end(); }
    void Write(const Render::Frame& frame) override { pictures.push_back(Shrink(frame)); }
    void Finish() override {}
    void Abandon() override {}

    std::vector<Image> pictures; // in the order of the wanted times

private:
    std::vector<unsigned> times;
};

struct GoldenFrame {
    const char* name;
    unsigned time;
};

bool UpdateRequested()
{
    const char* update = std::getenv("RUVO_UPDATE_GOLDEN");
    return update && *update && std::string(update) != "0";
}

std::string GoldenPath(const std::string& name) { return TestSupport::SourceDir() + "/tests/golden/" + name + ".png"; }

// The names of the kept pictures, from the folder.
std::vector<std::string> GoldenNames()
{
    std::vector<std::string> names;
    if (DIR* folder = opendir((TestSupport::SourceDir() + "/tests/golden").c_str())) {
        while (dirent* entry = readdir(folder)) {
            const std::string file = entry->d_name;
            if (file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0)
                names.push_back(file.substr(0, file.size() - 4));
        }
        closedir(folder);
    }
    return names;
}

// Scenes load "data/..." from the build folder, whatever the runner's folder.
class GoldenFrames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chdir(TestSupport::BuildDir().c_str()), 0); }

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
        FrameCapture capture(times);
        Render::OfflineRenderer(options).Run(capture, nullptr);
        ASSERT_EQ(capture.pictures.size(), frames.size()) << "a wanted time is not on the 60 fps grid from "
                                                          << sceneStart << " ms";
        for (size_t i = 0; i < frames.size(); ++i)
            CheckPicture(frames[i].name, capture.pictures[i]);
    }

    void CheckPicture(const std::string& name, const Image& now)
    {
        const std::string golden = GoldenPath(name);
        if (UpdateRequested()) {
            TestSupport::SavePng(golden, now);
            std::printf("updated %s\n", golden.c_str());
            return;
        }
        const Image kept = TestSupport::LoadImage(golden);
        ASSERT_FALSE(kept.Empty()) << "no golden picture " << golden << "; make it with tests/golden/update.sh";
        ASSERT_EQ(kept.width, now.width);
        ASSERT_EQ(kept.height, now.height);

        const ::testing::AssertionResult close = TestSupport::ImagesClose(kept, now, goldenLimits);
        std::printf("%s: %s\n", name.c_str(), close.message());
        if (!close) {
            const std::string folder = TestSupport::BuildDir() + "/golden-diff";
            mkdir(folder.c_str(), 0755);
            const std::string sheet = folder + "/" + name + ".png";
            TestSupport::SavePng(sheet, DifferencePicture(kept, now));
            ADD_FAILURE() << name << " differs from " << golden << ": " << close.message() << "\n"
                          << "kept | now | difference x8: " << sheet << "\n"
                          << "if the change is intended, run tests/golden/update.sh";
        }
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
    Adapter::Graphics graphics;
    graphics.SetLetterboxPerspective();
    Drawables::FullScreenTexture loading("data/loader/loading.png", graphics, false, true);
    graphics.Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(loading).Draw(Drawables::Disable(GL_TEXTURE_2D));
    std::vector<unsigned char> pixels;
    Render::ReadFrame(pixels);
    CheckPicture("loading", Shrink(Render::Frame{Render::frameWidth, Render::frameHeight, pixels}));
}

// The limits must let the renderer's noise through and stop a real change:
// checked on the kept pictures themselves, without rendering.
TEST(GoldenFrameLimits, PassNoiseButStopAShiftedPicture)
{
    if (UpdateRequested())
        GTEST_SKIP() << "the kept pictures are being rewritten";
    const std::vector<std::string> names = GoldenNames();
    ASSERT_GE(names.size(), 9u);
    for (const std::string& name : names) {
        const Image kept = TestSupport::LoadImage(GoldenPath(name));
        ASSERT_FALSE(kept.Empty()) << name;

        Image noisy = kept;
        for (size_t i = 0; i < noisy.rgba.size(); ++i)
            if (i % 4 != 3 && i % 7 == 0)
                noisy.rgba[i] = static_cast<unsigned char>(noisy.rgba[i] < 255 ? noisy.rgba[i] + 1 : 254);
        EXPECT_TRUE(TestSupport::ImagesClose(kept, noisy, goldenLimits)) << name << ": one level of noise";

        // The picture area four window pixels down, as a background knocked
        // by a beat; the letterbox bands stay as they are.
        Image shifted = kept;
        for (int y = TestSupport::pictureBottom / shrink; y > TestSupport::pictureTop / shrink; --y)
            std::copy_n(kept.At(0, y - 1), kept.width * 4, shifted.At(0, y));
        EXPECT_FALSE(TestSupport::ImagesClose(kept, shifted, goldenLimits)) << name << ": shifted by four pixels";
    }
}

} // namespace
