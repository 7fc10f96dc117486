// The city scene: glow strength and camera on claps, skyline layers on beats,
// and the state it leaves, over simple pictures of known colours.
#include "drawables/RenderToTexture.h"
#include "drawables/Texture.h"
#include "scenes/FlatEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>

using Effects::FlatEffect;
using TestSupport::ReadPixel;
using TestSupport::Rgba;
using TestSupport::Texel;
namespace FlatState = Effects::FlatState;

namespace {

const int frontBandRow = 560; // viewport row inside the front skyline's band
// Clamped, filtered pictures fade out over about half a texel at their edges.
const int edge = 5;
const int bass = 1, clap = 2;

// Back skyline: green unlit, red lit, both opaque. Front skyline: only its
// bottom quarter is opaque, blue unlit and white lit; its top-left corner is
// clear, so rings that sample it add nothing to the picture.
void WriteCity(TestSupport::TestData& data)
{
    data.WriteSolid("data/flat/cityBack.png", 128, 128, Texel{0, 255, 0, 255});
    data.WriteSolid("data/flat/cityBackLight.png", 128, 128, Texel{255, 0, 0, 255});
    auto band = [](Texel colour) {
        return [colour](int, int y) { return y >= 96 ? colour : Texel{0, 0, 0, 0}; };
    };
    data.WritePicture("data/flat/cityFront.png", 128, 128, band(Texel{0, 0, 255, 255}));
    data.WritePicture("data/flat/cityFrontLight.png", 128, 128, band(Texel{255, 255, 255, 255}));
}

Rgba ViewportPixel(int x, int row) { return ReadPixel(x, TestSupport::pictureTop + row); }

bool IsBlack(Rgba p) { return p.r < 4 && p.g < 4 && p.b < 4; }

class CityScene : public TestSupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        // As at program start, also when several tests share a process.
        FlatState::backShift = 0;
        FlatState::backFlash = 0;
        FlatState::frontFlash = 0;
        WriteCity(data);
        scene.Init(*graphics);
    }
    void Frame(unsigned time, unsigned delta, int syncEvent = 0)
    {
        scene.Render(*graphics, time, delta, syncEvent);
    }
    TestSupport::TestData data;
    FlatEffect scene;
};

} // namespace

TEST_F(CityScene, ClapBoostsTheGlowForOneFrameAndLightsTheFront)
{
    EXPECT_FLOAT_EQ(scene.blurStrength, 0.025f);
    Frame(122000, 16);
    EXPECT_FLOAT_EQ(scene.blurStrength, 0.05f) << "raised to the floor before any glow";

    Frame(122016, 16, clap);
    EXPECT_FLOAT_EQ(scene.blurStrength, 0.5f);
    EXPECT_FLOAT_EQ(FlatState::frontFlash, 1.0f);
    const Rgba lit = ViewportPixel(300, frontBandRow);
    EXPECT_GE(lit.r, 250);
    EXPECT_GE(lit.g, 250) << "only the lit front skyline shows";

    Frame(122025, 9);
    EXPECT_NEAR(scene.blurStrength, 0.05f, 1e-6f);
    EXPECT_NEAR(FlatState::frontFlash, 1.0f - 0.045f, 1e-5f);

    Frame(122034, 9, clap);
    Frame(122042, 8);
    EXPECT_NEAR(scene.blurStrength, 0.1f, 1e-5f) << "8 ms is not quite enough to fall back";

    Frame(122242, 200);
    EXPECT_FLOAT_EQ(FlatState::frontFlash, 0.0f);
    const Rgba unlit = ViewportPixel(300, frontBandRow);
    EXPECT_LE(unlit.r, 3);
    EXPECT_GE(unlit.b, 250);
}

TEST_F(CityScene, BassDropsTheBackLayersAndTheyRiseBackIn200ms)
{
    // In the first frame the rings sample the last picture loaded; from the
    // second on, the front skyline's clear corner.
    Frame(129984, 16);
    Frame(130000, 16);
    EXPECT_FLOAT_EQ(FlatState::backShift, 0.0f);
    EXPECT_FLOAT_EQ(FlatState::backFlash, 0.0f);
    EXPECT_GE(ViewportPixel(500, edge).g, 250) << "unlit back skyline at the top before any bass";

    const unsigned beat = 130016;
    Frame(beat, 16, bass);
    EXPECT_FLOAT_EQ(FlatState::backShift, 100.0f);
    EXPECT_FLOAT_EQ(FlatState::backFlash, 1.0f);
    EXPECT_TRUE(IsBlack(ViewportPixel(500, 100 - edge))) << "uncovered band above the layers";
    const Rgba lit = ViewportPixel(500, 100 + edge);
    EXPECT_GE(lit.r, 250);
    EXPECT_LE(lit.g, 3);

    // Rising at 0.5 px/ms; the picture follows the truncated shift.
    struct Step {
        unsigned after, delta;
        int shift;
    };
    for (Step step : {Step{16, 16, 92}, Step{112, 96, 44}}) {
        Frame(beat + step.after, step.delta);
        ASSERT_EQ(static_cast<int>(FlatState::backShift), step.shift) << step.after << " ms after the beat";
        EXPECT_TRUE(IsBlack(ViewportPixel(500, step.shift - edge))) << step.after << " ms";
        EXPECT_FALSE(IsBlack(ViewportPixel(500, step.shift + edge))) << step.after << " ms";
    }
    Frame(beat + 200, 88);
    EXPECT_FLOAT_EQ(FlatState::backShift, 0.0f);
    EXPECT_NEAR(FlatState::backFlash, 0.2f, 1e-4f);
    const Rgba top = ViewportPixel(500, edge);
    EXPECT_GT(top.g, top.r) << "mostly unlit again, and back at the top";
    EXPECT_GT(top.r, 0);
}

TEST_F(CityScene, DecaysHoldForAZeroDeltaAndFloorForABackwardStep)
{
    Frame(130000, 16, bass);
    Frame(130016, 16, clap);
    const float shift = FlatState::backShift, back = FlatState::backFlash, front = FlatState::frontFlash;
    Frame(130016, 0);
    EXPECT_FLOAT_EQ(FlatState::backShift, shift);
    EXPECT_FLOAT_EQ(FlatState::backFlash, back);
    EXPECT_FLOAT_EQ(FlatState::frontFlash, front);
    EXPECT_FLOAT_EQ(scene.blurStrength, 0.5f);

    Frame(130000, 0u - 16u);
    EXPECT_FLOAT_EQ(FlatState::backShift, 0.0f);
    EXPECT_FLOAT_EQ(FlatState::backFlash, 0.0f);
    EXPECT_FLOAT_EQ(FlatState::frontFlash, 0.0f);
    EXPECT_FLOAT_EQ(scene.blurStrength, 0.05f);
}

// Pixels of the picture area whose red channel exceeds `threshold`.
int CountRedAbove(int threshold) { return TestSupport::CountAbove(TestSupport::ReadWindow(), 0, threshold); }

class CityRings : public TestSupport::GlTest {
protected:
    TestSupport::TestData data;
};

TEST_F(CityRings, TakeTheirColourFromTheTextureLeftBound)
{
    const Texel clear{0, 0, 0, 0};
    data.WriteSolid("data/flat/cityFront.png", 16, 16, clear);
    data.WriteSolid("data/flat/cityFrontLight.png", 16, 16, Texel{255, 0, 255, 255});
    data.WriteSolid("data/flat/cityBack.png", 16, 16, clear);
    data.WriteSolid("data/flat/cityBackLight.png", 16, 16, clear);
    FlatEffect scene;
    scene.Init(*graphics);
    // First frame: the last picture loaded is bound, and it is clear.
    scene.Render(*graphics, 130000, 16, 0);
    EXPECT_EQ(CountRedAbove(8), 0);
    // From then on the lit front skyline, left bound by the foreground.
    scene.Render(*graphics, 130016, 16, 0);
    EXPECT_GT(CountRedAbove(8), 2000);
}

TEST_F(CityScene, RowAndCameraAtTheFirstMillisecond)
{
    ASSERT_EQ(scene.tubeSlots.size(), 200u);
    EXPECT_FLOAT_EQ(scene.tubeSlots.front().z, -200.0f);
    EXPECT_FLOAT_EQ(scene.tubeSlots.back().z, 198.0f);
    EXPECT_FLOAT_EQ(scene.tubeSlots.front().phase, -25.0f);
    EXPECT_FLOAT_EQ(scene.tubeSlots.back().phase, 24.75f);

    EXPECT_NEAR(Effects::CityCameraZ(122000, 0.05f), -8.42f, 0.01f);
    EXPECT_NEAR(Effects::CityCameraZ(122000, 0.5f) - Effects::CityCameraZ(122000, 0.05f), 2.25f, 1e-4f);
    const Effects::TubePose first = Effects::PoseOfSlot(scene.tubeSlots.front(), 1, 122000);
    EXPECT_NEAR(first.scale, 6.85f, 0.01f);
    EXPECT_NEAR(first.angle, 6150.0f, 1e-2f);
    const Effects::TubePose last = Effects::PoseOfSlot(scene.tubeSlots.back(), 200, 122000);
    EXPECT_NEAR(last.scale, 5.44f, 0.01f);
    EXPECT_NEAR(last.angle, 16100.0f, 1e-2f);
}

TEST_F(CityScene, LeavesLightsOffTheFrontBoundAndTheColourAtTheFlash)
{
    Frame(130000, 16, clap);
    Frame(130010, 10);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    GLint shadeModel = 0, bound = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_FLAT);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), scene.cityFrontLight->id) << "what the next frame's rings sample";
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float c : colour)
        EXPECT_NEAR(c, 0.95f, 1e-5f);
    EXPECT_FLOAT_EQ(scene.renderTarget->grow, 1.0f);
    EXPECT_EQ(scene.cityFront->y, 0);
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
    EXPECT_EQ(TestSupport::Viewport(), TestSupport::pictureBox);
}
