// The box and greetings scene over pictures of known colours: when boxes
// start, how the layout repeats, what claps and the bass do, and the light and
// material state the scene leaves.
#include "drawables/Texture.h"
#include "scenes/CubeEffect.h"
#include "scenes/FlatEffect.h"
#include "scenes/LayoutSeed.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>
#include <cstdlib>
#include <string>
#include <vector>

using Effects::CubeEffect;
using Effects::layoutSeed;
using TestSupport::ReadPixel;
using TestSupport::Rgba;
using TestSupport::Texel;
namespace CubeState = Effects::CubeState;

namespace {

const int bass = 1, clap = 2;
const Texel blue{0, 0, 200, 255};    // background
const Texel yellow{200, 200, 0, 255}; // inverted background

void WriteBoxes(TestSupport::TestData& data)
{
    data.WriteSolid("data/kasser/baggrund.png", 128, 128, blue);
    data.WriteSolid("data/kasser/baggrund-inv.png", 128, 128, yellow);
    data.WriteSolid("data/kasser/flash.png", 128, 128, Texel{255, 255, 255, 255});
    for (int i = 1; i <= 3; ++i)
        data.WriteSolid("data/kasser/kasse" + std::to_string(i) + ".png", 16, 16, Texel{255, 255, 255, 255});
    for (int i = 1; i <= 14; ++i)
        data.WriteSolid("data/kasser/greetings" + std::to_string(i) + ".png", 16, 16, Texel{0, 255, 0, 255});
}

Rgba ViewportPixel(int x, int row) { return ReadPixel(x, TestSupport::pictureTop + row); }

bool Near(Rgba p, Texel t, int tolerance = 3)
{
    return std::abs(p.r - t.r) <= tolerance && std::abs(p.g - t.g) <= tolerance && std::abs(p.b - t.b) <= tolerance;
}

// Pixels of the letterbox that differ from the background colour, leaving
// out the rim where the clamped picture fades into its border.
std::vector<bool> Foreground(Texel background)
{
    const int rim = 6;
    const std::vector<unsigned char> window = TestSupport::ReadWindow();
    std::vector<bool> mask;
    for (int y = TestSupport::pictureTop + rim; y <= TestSupport::pictureBottom - rim; ++y) {
        for (int x = rim; x < 1024 - rim; ++x) {
            const unsigned char* p = &window[(y * 1024 + x) * 4];
            mask.push_back(!Near(Rgba{p[0], p[1], p[2], p[3]}, background));
        }
    }
    return mask;
}

int Count(const std::vector<bool>& mask)
{
    int n = 0;
    for (bool b : mask)
        n += b;
    return n;
}

class CubeScene : public TestSupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        // As at program start, also when several tests share a process.
        CubeState::currentBackground = nullptr;
        CubeState::boxSeed = layoutSeed;
        CubeState::flashLevel = 0;
        CubeState::backShift = 0;
        CubeState::greetingScroll = -16;
        WriteBoxes(data);
        scene.Init(*graphics);
    }
    // The clear scene runs first in every frame of the show.
    void Frame(unsigned time, unsigned delta, int syncEvent = 0)
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.Render(*graphics, time, delta, syncEvent);
    }
    std::vector<float> Depths() const { return std::vector<float>(&scene.boxDepths[0], &scene.boxDepths[1000]); }

    TestSupport::TestData data;
    CubeEffect scene;
};

} // namespace

TEST_F(CubeScene, BoxesAndGreetingsStartJustAfter150000)
{
    const std::vector<float> before = Depths();
    Frame(150000, 16);
    EXPECT_EQ(Count(Foreground(blue)), 0) << "only the background at exactly 150000";
    EXPECT_EQ(Depths(), before);
    EXPECT_FLOAT_EQ(CubeState::greetingScroll, -16.0f);

    const unsigned d = 20;
    Frame(150000 + d, d);
    EXPECT_GT(Count(Foreground(blue)), 5000) << "boxes and greetings drawn";
    // Greeting k stands at greetingScroll - 16 k.
    EXPECT_FLOAT_EQ(CubeState::greetingScroll, -16.0f + 0.007f * d);
    const std::vector<float> after = Depths();
    for (int n = 0; n < 1000; ++n)
        ASSERT_FLOAT_EQ(after[n], before[n] + 0.01f * d) << "box " << n;
}

TEST_F(CubeScene, LayoutRepeatsFrameToFrameUntilAClap)
{
    EXPECT_EQ(CubeState::boxSeed, layoutSeed);
    Frame(160000, 0);
    const std::vector<bool> first = Foreground(blue);
    Frame(160000, 0);
    EXPECT_EQ(Foreground(blue), first) << "same seed, same boxes";

    Frame(160000, 0, clap);
    EXPECT_EQ(CubeState::boxSeed, 160000u);
    const std::vector<bool> scattered = Foreground(yellow);
    int moved = 0;
    for (size_t i = 0; i < first.size(); ++i)
        moved += first[i] != scattered[i];
    EXPECT_GT(moved, 2000) << "a clap re-scatters the boxes";
    Frame(160000, 0);
    EXPECT_EQ(Foreground(yellow), scattered);
}

TEST_F(CubeScene, ClapsSwapTheBackgroundBeforeTheBoxesToo)
{
    Frame(146000, 16);
    EXPECT_TRUE(Near(ViewportPixel(500, 300), blue));
    Frame(146016, 16, clap);
    EXPECT_TRUE(Near(ViewportPixel(500, 300), yellow));
    EXPECT_EQ(CubeState::boxSeed, 146016u);
    EXPECT_EQ(CubeState::currentBackground, scene.backgroundInverse.get());
    Frame(146032, 16, clap);
    EXPECT_TRUE(Near(ViewportPixel(500, 300), blue));
    EXPECT_EQ(CubeState::boxSeed, 146032u);
}

TEST_F(CubeScene, BassFlashesAndKnocksTheBackgroundDown)
{
    Frame(147000, 16, bass);
    EXPECT_FLOAT_EQ(CubeState::flashLevel, 1.0f);
    EXPECT_FLOAT_EQ(CubeState::backShift, 92.0f) << "the jump less half of this frame's delta";
    EXPECT_TRUE(Near(ViewportPixel(500, 300), Texel{255, 255, 255, 255})) << "flash only";

    Frame(147050, 50);
    EXPECT_NEAR(CubeState::flashLevel, 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(CubeState::backShift, 67.0f);
    EXPECT_TRUE(Near(ViewportPixel(500, 60), Texel{128, 128, 128, 255}, 4)) << "above the shifted background";
    EXPECT_TRUE(Near(ViewportPixel(500, 75), Texel{128, 128, 228, 255}, 4));
    EXPECT_EQ(scene.background->y, 67);

    Frame(147100, 50);
    EXPECT_NEAR(CubeState::flashLevel, 0.0f, 1e-6f) << "gone 100 ms after the beat";
    EXPECT_FLOAT_EQ(CubeState::backShift, 42.0f);
    EXPECT_TRUE(Near(ViewportPixel(500, 36), Texel{0, 0, 0, 255}));
    EXPECT_TRUE(Near(ViewportPixel(500, 48), blue));

    Frame(147200, 100);
    EXPECT_FLOAT_EQ(CubeState::backShift, 0.0f) << "back at the top 200 ms after the beat";
    Frame(147300, 0u - 50u, bass);
    EXPECT_FLOAT_EQ(CubeState::flashLevel, 1.0f);
    EXPECT_FLOAT_EQ(CubeState::backShift, 0.0f) << "a backward step floors even the fresh jump";
}

TEST_F(CubeScene, LightsTheBoxesWithItsOwnSpecularOnlyAndLeavesLightingOff)
{
    // Whatever was drawn before leaves the rest of the material.
    const GLfloat diffuse[] = {0.2f, 0.4f, 0.6f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glShadeModel(GL_FLAT);
    Frame(150000, 16);
    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_FLAT) << "no lighting set-up before the boxes start";

    Frame(160000, 16);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));

    GLfloat value[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, value);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(value[i], diffuse[i]);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, value);
    for (float v : value)
        EXPECT_FLOAT_EQ(v, 1.0f);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(value[0], 0.3f);
    // Placed under the group transform: the group's origin, ten units ahead.
    glGetLightfv(GL_LIGHT0, GL_POSITION, value);
    EXPECT_NEAR(value[0], 0.0f, 1e-5f);
    EXPECT_NEAR(value[1], 0.0f, 1e-5f);
    EXPECT_NEAR(value[2], -10.0f, 1e-5f);
    EXPECT_FLOAT_EQ(value[3], 1.0f);
    // The greetings send no normal: the last box face's stays current.
    glGetFloatv(GL_CURRENT_NORMAL, value);
    EXPECT_FLOAT_EQ(value[0], -1.0f);
    EXPECT_FLOAT_EQ(value[1], 0.0f);
    EXPECT_FLOAT_EQ(value[2], 0.0f);
}

TEST_F(CubeScene, BoxesKeepTheMaterialTheCityRingsLeft)
{
    for (const char* name : {"cityFront", "cityFrontLight", "cityBack", "cityBackLight"})
        data.WriteSolid(std::string("data/flat/") + name + ".png", 16, 16, Texel{90, 90, 90, 255});
    Effects::FlatEffect city;
    city.Init(*graphics);
    city.Render(*graphics, 145000, 16, 0);
    const GLenum kept[] = {GL_AMBIENT, GL_DIFFUSE, GL_EMISSION, GL_SHININESS};
    GLfloat left[4][4];
    for (int i = 0; i < 4; ++i)
        glGetMaterialfv(GL_FRONT, kept[i], left[i]);
    ASSERT_FLOAT_EQ(left[3][0], 10.0f) << "the rings set their own material";

    Frame(160000, 16);
    GLfloat now[4];
    for (int i = 0; i < 4; ++i) {
        glGetMaterialfv(GL_FRONT, kept[i], now);
        for (int c = 0; c < (kept[i] == GL_SHININESS ? 1 : 4); ++c)
            EXPECT_FLOAT_EQ(now[c], left[i][c]) << "material value " << i << " component " << c;
    }
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, now);
    EXPECT_FLOAT_EQ(now[0], 1.0f);
}

TEST_F(CubeScene, DepthsComeFromTheFirstThousandRandomValues)
{
    std::srand(1); // the generator's initial state
    CubeEffect fresh;
    fresh.Init(*graphics);
    std::srand(1);
    for (int n = 0; n < 1000; ++n) {
        const float expected = -static_cast<float>(std::rand() & 1023);
        ASSERT_EQ(fresh.boxDepths[n], expected) << "box " << n;
        ASSERT_LE(expected, 0.0f);
        ASSERT_GE(expected, -1023.0f);
    }
}

TEST(BoxScatter, MasksAndScalesTheRandomValues)
{
    using Effects::BoxScatter;
    const BoxScatter low = BoxScatter::FromRandom(0, 255, 16, 31, 0x7fffffff);
    EXPECT_FLOAT_EQ(low.y, -2.0f);
    EXPECT_FLOAT_EQ(low.z, 1.984375f);
    EXPECT_EQ(low.axisX, 0);
    EXPECT_EQ(low.axisY, 15);
    EXPECT_EQ(low.axisZ, 15);
    EXPECT_TRUE(low.HasAxis());

    const BoxScatter middle = BoxScatter::FromRandom(128 + 256, 64, 0, 0, 0);
    EXPECT_FLOAT_EQ(middle.y, 0.0f) << "bits above the mask are dropped";
    EXPECT_FLOAT_EQ(middle.z, -1.0f);
    EXPECT_FALSE(middle.HasAxis()) << "a zero axis is drawn unrotated";
}
