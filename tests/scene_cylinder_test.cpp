// The cylinder scene: ring tables, tube geometry, texture swap and fog on the
// bass, the clap flash, and the banner sliding in.
#include "scenes/CylinderEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

#include <GL/gl.h>
#include <cmath>

using namespace TestSupport;
using Effects::CylinderEffect;
namespace CylinderState = Effects::CylinderState;

namespace {

struct CylinderPictures {
    Texel tubeA, tubeB, background, flash, slider;
};

class CylinderSceneTest : public SceneTest<CylinderEffect> {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        CylinderState::currentTubeTexture = nullptr;
        CylinderState::backShift = 0.0f;
        CylinderState::flashLevel = 0.0f;
    }

    void Load(const CylinderPictures& p)
    {
        Write(p);
        scene.Init(*graphics);
    }

    void Write(const CylinderPictures& p)
    {
        data.WriteSolid("data/cylinder/texture2.png", 64, 64, p.tubeA);
        data.WriteSolid("data/cylinder/texture3.png", 64, 64, p.tubeB);
        data.WriteSolid("data/cylinder/baggrund.png", 1024, 512, p.background);
        data.WriteSolid("data/cylinder/flash.png", 1024, 512, p.flash);
        data.WriteSolid("data/cylinder/slider.png", 512, 128, p.slider);
    }
};

// Pixels of column 512 whose red and green channels show a red or a green tube.
void CountTubeColours(int& reds, int& greens)
{
    const std::vector<unsigned char> window = ReadWindow();
    reds = greens = 0;
    for (int y = pictureTop; y <= pictureBottom; ++y) {
        const unsigned char* p = PixelAt(window, 512, y);
        reds += (p[0] > 40 && p[1] == 0) ? 1 : 0;
        greens += (p[1] > 40 && p[0] == 0) ? 1 : 0;
    }
}

// Every background or flash pixel (blue channel high) has red = green = 255 F.
// The outermost rows blend with the clamped texture border and are skipped.
void ExpectFlashWeight(float flashLevel, int minimumPixels)
{
    const std::vector<unsigned char> window = ReadWindow();
    const int expected = static_cast<int>(std::lround(255 * flashLevel));
    int seen = 0, wrong = 0;
    for (int y = pictureTop + 2; y <= pictureBottom - 2; ++y)
        for (int x = 0; x < 1024; ++x) {
            const unsigned char* p = PixelAt(window, x, y);
            if (p[2] < 128)
                continue;
            ++seen;
            wrong += (std::abs(p[0] - expected) > 2 || std::abs(p[1] - expected) > 2) ? 1 : 0;
        }
    EXPECT_GT(seen, minimumPixels);
    EXPECT_EQ(wrong, 0);
}

// First column of `row` brighter than half.
int FirstBrightColumn(int row)
{
    const std::vector<unsigned char> window = ReadWindow();
    for (int x = 0; x < 1024; ++x)
        if (PixelAt(window, x, row)[0] > 128)
            return x;
    return 1024;
}

} // namespace

TEST_F(CylinderSceneTest, InitBuildsRingsOfPhaseZero)
{
    Load({redTexel, greenTexel, blueTexel, whiteTexel, clearTexel});
    EXPECT_NEAR(scene.ringShift[0], 0.0f, 1e-6f);
    EXPECT_EQ(scene.ringRadius[0], 1.0f);
    EXPECT_NEAR(scene.ringCentre[0], 0.0f, 1e-6f);
    EXPECT_NEAR(scene.ringShift[10], 0.4437f, 5e-5f);
    EXPECT_NEAR(scene.ringRadius[10], 1.2843f, 5e-5f);
    EXPECT_NEAR(scene.ringCentre[10], 0.5259f, 5e-5f);
    // Any later phase is undone by phase 0 again.
    scene.UpdateRings(123.4f);
    EXPECT_GT(std::fabs(scene.ringRadius[10] - 1.2843f), 1e-3f);
    scene.UpdateRings(0.0f);
    EXPECT_NEAR(scene.ringShift[10], 0.35f * std::sin(10.0f / 12) + 0.35f * std::sin(10.0f / 18), 1e-6f);
}

TEST_F(CylinderSceneTest, FirstTubeVertexSitsOnRingZero)
{
    Load({redTexel, greenTexel, blueTexel, whiteTexel, clearTexel});
    // With identity matrices a vertex (x, y, z) lands at window
    // (512 + 512 x, 384 + 300 y) in feedback coordinates.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> feedback(400000);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D_COLOR_TEXTURE, feedback.data());
    glRenderMode(GL_FEEDBACK);
    glEnable(GL_TEXTURE_2D);
    scene.DrawTube();
    glDisable(GL_TEXTURE_2D);
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    ASSERT_GT(used, 2 + 11);
    ASSERT_EQ(feedback[0], static_cast<GLfloat>(GL_POLYGON_TOKEN));
    const GLfloat* vertex = &feedback[2];
    EXPECT_NEAR(vertex[0], 512 + 512 * 0.7f, 0.01f);
    EXPECT_NEAR(vertex[1], 84 + 300, 0.01f);
    EXPECT_NEAR(vertex[2], 0.5f, 1e-4f);
    EXPECT_NEAR(vertex[7], 0.0f, 1e-6f); // s
    EXPECT_NEAR(vertex[8], 0.0f, 1e-6f); // t
}

TEST_F(CylinderSceneTest, BassSwapsTubeTextureAndLiftsFog)
{
    Load({redTexel, greenTexel, blackTexel, blackTexel, clearTexel});
    int reds = 0, greens = 0;
    Frame(52000, 16, Demo::SyncNone);
    EXPECT_EQ(CylinderState::currentTubeTexture, scene.tubeTextureA.get());
    CountTubeColours(reds, greens);
    EXPECT_GT(reds, 20);
    EXPECT_EQ(greens, 0);

    Frame(52016, 16, Demo::SyncBass);
    EXPECT_EQ(CylinderState::currentTubeTexture, scene.tubeTextureB.get());
    EXPECT_FLOAT_EQ(CylinderState::backShift, 92.0f);
    GLfloat fogStart = 0, fogEnd = 0;
    glGetFloatv(GL_FOG_START, &fogStart);
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_FLOAT_EQ(fogStart, 4.0f);
    EXPECT_FLOAT_EQ(fogEnd, 98.0f);
    CountTubeColours(reds, greens);
    EXPECT_EQ(reds, 0);
    EXPECT_GT(greens, 20);

    Frame(52032, 16, Demo::SyncBass);
    EXPECT_EQ(CylinderState::currentTubeTexture, scene.tubeTextureA.get());
    for (unsigned t = 52048; t < 52300; t += 16)
        Frame(t, 16, Demo::SyncNone);
    EXPECT_EQ(CylinderState::backShift, 0.0f);
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_FLOAT_EQ(fogEnd, 6.0f);
}

TEST_F(CylinderSceneTest, TubeHasDarkOutlineAndStartsRightOfThePicture)
{
    // The tube's texture repeats once per unit of the tube's own length: red
    // across the middle of each repeat, green at its ends.
    Write({redTexel, redTexel, blueTexel, blueTexel, clearTexel});
    data.WritePicture("data/cylinder/texture2.png", 64, 64,
                      [](int, int y) { return y >= 16 && y < 48 ? redTexel : greenTexel; });
    scene.Init(*graphics);
    Frame(56000, 16, Demo::SyncNone);
    // Over a blue background the tube leaves black only where its enlarged
    // outline shows.
    const std::vector<unsigned char> window = ReadWindow();
    int rim = 0, tube = 0;
    for (int y = pictureTop; y <= pictureBottom; ++y)
        for (int x = 0; x < 1024; ++x) {
            const unsigned char* p = PixelAt(window, x, y);
            rim += (p[0] + p[1] + p[2] == 0) ? 1 : 0;
            tube += (p[0] + p[1] > 0 && p[2] == 0) ? 1 : 0;
        }
    EXPECT_GT(rim, 1000);
    EXPECT_GT(tube, 20000);
    // Shifted 3 units right and then stretched twice along its length, the
    // tube starts 6 units right of the middle, so the middle column sees the
    // point 3 of its own units along: the end of a repeat, green.
    int reds = 0, greens = 0;
    CountTubeColours(reds, greens);
    EXPECT_GT(greens, 20);
    EXPECT_EQ(reds, 0);
}

TEST_F(CylinderSceneTest, ClapShowsFlashAloneThenFadesIn400Ms)
{
    Load({redTexel, redTexel, blueTexel, whiteTexel, clearTexel});
    Frame(55000, 16, Demo::SyncClap);
    EXPECT_EQ(CylinderState::flashLevel, 1.0f);
    ExpectFlashWeight(1.0f, 10000);

    Frame(55016, 16, Demo::SyncNone);
    EXPECT_NEAR(CylinderState::flashLevel, 0.96f, 1e-6f);
    ExpectFlashWeight(0.96f, 10000);

    // 0.0025 a ms: the remaining 0.96 is gone 384 ms later.
    for (unsigned t = 55112; t <= 55400; t += 96)
        Frame(t, 96, Demo::SyncNone);
    EXPECT_NEAR(CylinderState::flashLevel, 0.0f, 1e-5f);
    Frame(55416, 16, Demo::SyncNone);
    EXPECT_EQ(CylinderState::flashLevel, 0.0f);
    ExpectFlashWeight(0.0f, 10000);
}

TEST_F(CylinderSceneTest, BannerSlidesFromRightToCentre)
{
    Load({blackTexel, blackTexel, blackTexel, blackTexel, whiteTexel});
    // 3 units wide one unit away: centred at x = 2 its left edge (0.5) is
    // column 874, centred at x = 1 (-0.5) column 150.
    Frame(52000, 16, Demo::SyncNone);
    EXPECT_NEAR(FirstBrightColumn(384), 874, 2);
    Frame(59000, 16, Demo::SyncNone);
    EXPECT_NEAR(FirstBrightColumn(384), 150, 2);
    EXPECT_NEAR(FirstBrightColumn(pictureTop + 2), 150, 2);
    EXPECT_TRUE(Near(ReadPixel(1000, 384), 255, 255, 255));
    Frame(66000, 16, Demo::SyncNone);
    EXPECT_EQ(FirstBrightColumn(384), 0);
}

// A frame depends on its music time and the scene's state alone: drawn again
// after other drawing it comes out the same, pixel for pixel. (The driver
// once gave the tube's far rings other texels depending on where its buffer
// of immediate-mode vertices happened to stand when the tube was sent.)
TEST_F(CylinderSceneTest, SameFrameWhateverWasDrawnBefore)
{
    // Sharp stripes, so that texels taken from another mipmap level show.
    const auto stripes = [](int x, int y) {
        const unsigned char v = ((x + y) / 4) % 2 ? 255 : 0;
        return Texel{v, v, v, 255};
    };
    data.WritePicture("data/cylinder/texture2.png", 64, 64, stripes);
    data.WritePicture("data/cylinder/texture3.png", 64, 64, stripes);
    data.WriteSolid("data/cylinder/baggrund.png", 1024, 512, blueTexel);
    data.WriteSolid("data/cylinder/flash.png", 1024, 512, whiteTexel);
    data.WriteSolid("data/cylinder/slider.png", 512, 128, clearTexel);
    scene.Init(*graphics);

    const auto frameAfter = [this](int quadsBefore) {
        // Textured quads behind the eye: clipped, they leave no pixel.
        glBegin(GL_QUADS);
        for (int i = 0; i < 4 * quadsBefore; ++i) {
            glTexCoord2f(0, 0);
            glVertex3f(0, 0, 10);
        }
        glEnd();
        CylinderState::currentTubeTexture = scene.tubeTextureA.get();
        CylinderState::backShift = 0.0f;
        CylinderState::flashLevel = 0.0f;
        Frame(52300, 17, Demo::SyncBass);
        return ReadWindow();
    };
    const std::vector<unsigned char> first = frameAfter(0);
    int differingFrames = 0;
    for (int quadsBefore = 100; quadsBefore <= 4000; quadsBefore += 150) {
        const std::vector<unsigned char> again = frameAfter(quadsBefore);
        differingFrames += again != first;
    }
    EXPECT_EQ(differingFrames, 0);
}
