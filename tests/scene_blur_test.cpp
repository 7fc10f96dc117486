// The capture, composite and glow of the blur base, read back from the window.
#include "drawables/RenderToTexture.h"
#include "scenes/BlurEffect.h"
#include "tests/support/GlTest.h"

#include <GL/gl.h>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

using TestSupport::GlTest;
using TestSupport::ReadPixel;

namespace {

// A rectangle in pixels of the current viewport (y from its bottom), drawn
// flat and untextured whatever the projection is.
class PixelRect : public Drawables::IDrawable {
public:
    PixelRect(int x0, int x1, float r, float g, float b, float a) : x0(x0), x1(x1), r(r), g(g), b(b), a(a) {}
    void Draw(Adapter::Graphics&) override
    {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor4f(r, g, b, a);
        glRectf(static_cast<float>(x0), 0, static_cast<float>(x1), static_cast<float>(viewport[3]));
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D);
    }
    int x0, x1;
    float r, g, b, a;
};

// Captures a white bar three texels wide at x 255..257 and nothing else; the
// background may be filled with a colour.
class BarScene : public Effects::BlurEffect {
public:
    BarScene(bool enabled, float strength) : BlurEffect(enabled, strength) {}
    void RenderScene(Medium::IOutputMedium& target, unsigned, unsigned, int) override
    {
        target.Draw(PixelRect(255, 258, barRed, barGreen, barBlue, barAlpha));
    }
    void RenderBackground(Medium::IOutputMedium& screen, unsigned, unsigned, int) override
    {
        if (fillBackground)
            screen.Draw(PixelRect(0, 1024, 1, 0, 0, 1));
    }
    float barRed = 1, barGreen = 1, barBlue = 1, barAlpha = 1;
    bool fillBackground = false;
};

const int row = 384; // middle of the window

// Pass k draws the capture grown by 10 k pixels on every side: the bar's
// middle texel lands near x = 256 - 5 k.
int PassColumn(int pass)
{
    const double grow = 10.0 * pass;
    const double screenX = 256.5 * (1024 + 2 * grow) / 1024 - grow;
    return static_cast<int>(std::floor(screenX));
}

std::vector<int> PassReds()
{
    std::vector<int> reds;
    for (int pass = 1; pass <= 25; ++pass)
        reds.push_back(ReadPixel(PassColumn(pass), row).r);
    return reds;
}

class BlurBase : public GlTest {
protected:
    // The copies are read one by one, as the reference method draws them.
    void RenderOnce(Effects::BlurEffect& scene, int syncEvent = 0,
                    Effects::BlurEffect::GlowMethod method = Effects::BlurEffect::GlowMethod::Copies)
    {
        scene.Init(*graphics);
        scene.glowMethod = method;
        scene.Render(*graphics, 130000, 16, syncEvent);
    }
};

} // namespace

TEST_F(BlurBase, GlowPassesAreWeightedDownFromTheStrength)
{
    for (float strength : {0.5f, 0.05f}) {
        BarScene scene(true, strength);
        RenderOnce(scene);
        ASSERT_GE(ReadPixel(256, row).r, 250) << "the composite shows the bar itself";
        const std::vector<int> reds = PassReds();
        double sum = 0;
        for (int pass = 1; pass <= 24; ++pass) {
            const double weight = strength * (26 - pass) / 25.0;
            EXPECT_NEAR(reds[pass - 1], 255 * weight, 2.0) << "strength " << strength << " pass " << pass;
            sum += reds[pass - 1] / 255.0;
        }
        EXPECT_NEAR(sum, 12.96 * strength, 24 * 1.5 / 255) << "strength " << strength;
        EXPECT_EQ(reds[24], 0) << "no 25th pass";
        EXPECT_EQ(ReadPixel(600, row).r, 0) << "empty capture adds nothing";
    }
}

TEST_F(BlurBase, NoGlowWhenDisabledOrWithoutStrength)
{
    struct Case {
        bool enabled;
        float strength;
    };
    for (auto method : {Effects::BlurEffect::GlowMethod::Copies, Effects::BlurEffect::GlowMethod::Summed}) {
        for (Case c : {Case{false, 0.5f}, Case{true, 0.0f}, Case{true, -0.1f}, Case{true, NAN}}) {
            BarScene scene(c.enabled, c.strength);
            RenderOnce(scene, 0, method);
            EXPECT_GE(ReadPixel(256, row).r, 250) << "the composite is still drawn";
            for (int red : PassReds())
                EXPECT_EQ(red, 0) << "enabled " << c.enabled << " strength " << c.strength;
        }
    }
}

TEST_F(BlurBase, EmptyCapturedPixelsLetTheBackgroundThrough)
{
    BarScene scene(true, 0.05f);
    scene.fillBackground = true;
    RenderOnce(scene);
    const TestSupport::Rgba clear = ReadPixel(700, row);
    EXPECT_EQ(clear.r, 255);
    EXPECT_EQ(clear.g, 0);
    EXPECT_EQ(clear.b, 0);
    const TestSupport::Rgba bar = ReadPixel(256, row);
    EXPECT_GE(bar.g, 250) << "the opaque bar covers the background";

    // A half-transparent blue bar mixes with the red background.
    BarScene glass(false, 0.0f);
    glass.fillBackground = true;
    glass.barRed = 0;
    glass.barGreen = 0;
    glass.barAlpha = 0.5f;
    RenderOnce(glass);
    const TestSupport::Rgba mixed = ReadPixel(256, row);
    EXPECT_NEAR(mixed.r, 128, 3);
    EXPECT_NEAR(mixed.b, 128, 3);
    EXPECT_EQ(ReadPixel(256, 50).r, 0) << "the letterbox band stays black";
}

TEST_F(BlurBase, StrengthLeftByRenderSceneDrivesThatFramesGlow)
{
    class Boosting : public BarScene {
    public:
        explicit Boosting(float boost) : BarScene(true, 0.0f), boost(boost) {}
        void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent) override
        {
            blurStrength = boost;
            BarScene::RenderScene(target, time, delta, syncEvent);
        }
        float boost;
    };
    Boosting scene(0.5f);
    RenderOnce(scene);
    EXPECT_NEAR(PassReds()[0], 127.5, 2.0);

    // The summed glow too is added up after RenderScene.
    const float resting = 0.08f;
    Boosting boosted(resting);
    RenderOnce(boosted, 0, Effects::BlurEffect::GlowMethod::Summed);
    const std::vector<unsigned char> late = TestSupport::ReadWindow();
    BarScene steady(true, resting);
    RenderOnce(steady, 0, Effects::BlurEffect::GlowMethod::Summed);
    EXPECT_GT(ReadPixel(PassColumn(2), row).r, 5) << "the summed glow shows";
    EXPECT_TRUE(TestSupport::ReadWindow() == late);
}

TEST_F(BlurBase, AFlashKeepsItsCopiesSharp)
{
    BarScene copies(true, 0.5f);
    RenderOnce(copies, 0, Effects::BlurEffect::GlowMethod::Copies);
    const std::vector<unsigned char> reference = TestSupport::ReadWindow();
    BarScene summed(true, 0.5f);
    RenderOnce(summed, 0, Effects::BlurEffect::GlowMethod::Summed);
    EXPECT_TRUE(TestSupport::ReadWindow() == reference);
}

TEST_F(BlurBase, HooksRunOnceInOrderWithTheirMediaAndArguments)
{
    struct Call {
        std::string name;
        const void* medium;
        unsigned time, delta;
        int syncEvent;
        GLint viewportHeight;
    };
    class Recording : public Effects::BlurEffect {
    public:
        Recording() : BlurEffect(true, 0.05f) {}
        void Record(const char* name, Medium::IOutputMedium& medium, unsigned t, unsigned d, int s)
        {
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            calls.push_back(Call{name, &medium, t, d, s, viewport[3]});
        }
        void RenderScene(Medium::IOutputMedium& m, unsigned t, unsigned d, int s) override
        {
            Record("scene", m, t, d, s);
        }
        void RenderBackground(Medium::IOutputMedium& m, unsigned t, unsigned d, int s) override
        {
            Record("background", m, t, d, s);
        }
        void RenderForeground(Medium::IOutputMedium& m, unsigned t, unsigned d, int s) override
        {
            Record("foreground", m, t, d, s);
        }
        std::vector<Call> calls;
    } scene;
    scene.Init(*graphics);
    scene.Render(*graphics, 123456, 4294967290u, 2);

    ASSERT_EQ(scene.calls.size(), 3u);
    const Medium::IOutputMedium& target = *scene.renderTarget;
    const Medium::IOutputMedium& window = *graphics;
    const char* names[] = {"scene", "background", "foreground"};
    const void* media[] = {&target, &window, &window};
    const GLint heights[] = {512, 600, 600};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scene.calls[i].name, names[i]);
        EXPECT_EQ(scene.calls[i].medium, media[i]) << names[i];
        EXPECT_EQ(scene.calls[i].time, 123456u);
        EXPECT_EQ(scene.calls[i].delta, 4294967290u);
        EXPECT_EQ(scene.calls[i].syncEvent, 2);
        EXPECT_EQ(scene.calls[i].viewportHeight, heights[i]) << names[i];
    }
}

TEST_F(BlurBase, LeavesTheWindowStateAsEveryOtherSceneExpects)
{
    GLfloat projectionBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    GLint units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    for (auto method : {Effects::BlurEffect::GlowMethod::Summed, Effects::BlurEffect::GlowMethod::Copies}) {
        // A flash is drawn copy by copy whatever the method: a resting glow
        // for the summed one.
        BarScene scene(true, method == Effects::BlurEffect::GlowMethod::Summed ? 0.05f : 0.5f);
        RenderOnce(scene, 0, method);
        RenderOnce(scene, 0, method);

        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float c : colour)
            EXPECT_FLOAT_EQ(c, 1.0f);
        EXPECT_FLOAT_EQ(scene.renderTarget->grow, 1.0f);
        EXPECT_EQ(scene.renderTarget->x, 0);
        EXPECT_EQ(scene.renderTarget->y, 0);

        EXPECT_EQ(TestSupport::Viewport(), TestSupport::pictureBox);
        EXPECT_EQ(TestSupport::ScissorBox(), TestSupport::pictureBox);
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(projection[i], projectionBefore[i], 1e-5f);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
        EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));

        // The summed glow combines several texture units: every scene
        // draws with the first alone, modulating.
        GLint active = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        EXPECT_EQ(active, GL_TEXTURE0);
        for (int unit = 0; unit < units; ++unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            GLint env = 0;
            glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
            EXPECT_EQ(env, GL_MODULATE) << "unit " << unit;
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "unit " << unit;
        }
        glActiveTexture(GL_TEXTURE0);
    }
}

TEST_F(BlurBase, TheBaseAloneThrowsItsMessage)
{
    Effects::BlurEffect alone(true, 0.025f);
    alone.Init(*graphics);
    try {
        alone.Render(*graphics, 122000, 16, 0);
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "RenderScene is implemented (BlurEffect is not supposed to stand alone)");
    }
}
