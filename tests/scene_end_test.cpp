// The end scene: the background fading out under the wobbling text, read back
// over a blue background and a text picture whose halves are red and green.
#include "drawables/Texture.h"
#include "scenes/TheEndEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>

using Effects::EndTextLayout;
using TestSupport::Rgba;
using TestSupport::Texel;

namespace {

Rgba ViewportPixel(int row) { return TestSupport::ReadPixel(500, TestSupport::pictureTop + row); }

class EndScene : public TestSupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        data.WriteSolid("data/end/baggrund.png", 128, 128, Texel{0, 0, 255, 255});
        data.WritePicture("data/end/text.png", 512, 512, [](int, int y) {
            return y < 256 ? Texel{255, 0, 0, 255} : Texel{0, 255, 0, 255};
        });
        scene.Init(*graphics);
    }
    void Frame(unsigned time)
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.Render(*graphics, time, 16, 0);
    }
    TestSupport::TestData data;
    Effects::TheEndEffect scene;
};

} // namespace

TEST_F(EndScene, OpensWithTheBackgroundAloneAndTheTextHidden)
{
    EXPECT_FLOAT_EQ(EndTextLayout::At(185000).fade, 1.0f);
    Frame(185000);
    for (int row : {5, 300, 595}) {
        const Rgba p = ViewportPixel(row);
        EXPECT_GE(p.b, 253) << row;
        EXPECT_LE(p.r, 1) << row;
        EXPECT_LE(p.g, 1) << row;
    }
}

TEST_F(EndScene, HalfwayTheTextIs572HighFrom17AboveTheTop)
{
    Frame(194500);
    EXPECT_EQ(scene.text->height, 572);
    EXPECT_EQ(scene.text->y, -17);
    EXPECT_EQ(scene.text->x, 0);
    EXPECT_NEAR(EndTextLayout::At(194500).fade, 0.5f, 1e-6f);

    // Halves meet at -17 + 286 = 269; the bottom edge is at 555.
    const Rgba top = ViewportPixel(264);
    EXPECT_NEAR(top.r, 128, 3);
    EXPECT_LE(top.g, 1);
    EXPECT_NEAR(top.b, 128, 3) << "half the background everywhere";
    const Rgba middle = ViewportPixel(274);
    EXPECT_LE(middle.r, 1);
    EXPECT_NEAR(middle.g, 128, 3);
    EXPECT_NEAR(ViewportPixel(551).g, 128, 3);
    const Rgba below = ViewportPixel(559);
    EXPECT_LE(below.g, 1);
    EXPECT_NEAR(below.b, 128, 3);
}

TEST_F(EndScene, LastFramesShowTheTextAloneAndLeaveNothingOn)
{
    Frame(203999);
    EXPECT_GT(EndTextLayout::At(203999).fade, 0.0f);
    const EndTextLayout layout = EndTextLayout::At(203999);
    const int redRow = layout.y + layout.height / 4;
    ASSERT_GT(redRow, 5);
    const Rgba p = ViewportPixel(redRow);
    EXPECT_GE(p.r, 253);
    EXPECT_LE(p.b, 1);

    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[0], 1.0f - layout.fade, 1e-6f);

    EXPECT_FLOAT_EQ(EndTextLayout::At(Demo::showEnd).fade, 0.0f);
    EXPECT_LT(EndTextLayout::At(205000).fade, 0.0f) << "a time past the end does not wrap into a bright fade";
}

TEST(EndTextLayout, WobblesWithinItsRanges)
{
    for (unsigned t = 185000; t <= Demo::showEnd; t += 37) {
        const EndTextLayout layout = EndTextLayout::At(t);
        ASSERT_GE(layout.height, 500) << t;
        ASSERT_LE(layout.height, 700) << t;
        const int bottom = layout.y + layout.height;
        ASSERT_GE(bottom, 549) << t;
        ASSERT_LE(bottom, 651) << t;
        ASSERT_GE(layout.fade, 0.0f);
        ASSERT_LE(layout.fade, 1.0f);
    }
}
