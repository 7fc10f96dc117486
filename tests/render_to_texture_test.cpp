// Off-screen drawing: what a capture leaves in the window and in the
// texture, and how the captured picture is drawn back.
#include "drawables/Drawables.h"
#include "drawables/RenderToTexture.h"
#include "drawables/Texture.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

using TestSupport::Texel;

namespace {

using TestSupport::ScissorBox;
using TestSupport::Viewport;

const int top = TestSupport::pictureTop;

std::vector<float> Projection()
{
    std::vector<float> m(16);
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

// What the GL state and the adapter look like while a drawable is drawn.
class StateProbe : public Drawables::IDrawable {
public:
    void Draw(Adapter::Graphics& graphics) override
    {
        ++draws;
        viewport = Viewport();
        scissorTest = glIsEnabled(GL_SCISSOR_TEST);
        width = graphics.viewportWidth;
        height = graphics.viewportHeight;
        projection = Projection();
    }
    int draws = 0;
    std::array<GLint, 4> viewport{};
    bool scissorTest = true;
    int width = 0, height = 0;
    std::vector<float> projection;
};

bool IsRed(const TestSupport::Rgba& p) { return p.r > 200 && p.g < 40 && p.b < 40; }
bool IsGreen(const TestSupport::Rgba& p) { return p.g > 200 && p.r < 40 && p.b < 40; }

class RenderToTextureTest : public TestSupport::GlTest {
protected:
    void SetUp() override
    {
        TestSupport::GlTest::SetUp();
        target.reset(new Drawables::FullScreenRenderToTexture(*graphics, 1024));
    }

    // Draws a 1024 x 512 picture 1:1 into the target and captures it.
    void CapturePicture(const std::function<Texel(int x, int y)>& texel)
    {
        data.WritePicture("capture.png", 1024, 512, texel);
        Drawables::FullScreenTexture picture("capture.png", *graphics, false, true);
        target->Draw(Drawables::Enable(GL_TEXTURE_2D))
            .Draw(Drawables::Color(1, 1, 1, 1))
            .Draw(picture)
            .Draw(Drawables::Disable(GL_TEXTURE_2D));
        target->Capture();
    }

    void DrawBack()
    {
        graphics->Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(Drawables::Color(1, 1, 1, 1)).Draw(*target);
        graphics->Draw(Drawables::Disable(GL_TEXTURE_2D));
    }

    // First and last red pixel along a window row (from the top) or column.
    static std::pair<int, int> RedSpan(int line, bool alongRow)
    {
        const std::vector<unsigned char> window = TestSupport::ReadWindow();
        int first = -1, last = -1;
        for (int i = 0; i < (alongRow ? 1024 : 768); ++i) {
            const int x = alongRow ? i : line, y = alongRow ? line : i;
            if (window[(static_cast<size_t>(y) * 1024 + x) * 4] > 127) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        return {first, last};
    }
    static std::pair<int, int> RedColumns(int row) { return RedSpan(row, true); }
    static std::pair<int, int> RedRows(int column) { return RedSpan(column, false); }

    TestSupport::TestData data;
    std::unique_ptr<Drawables::FullScreenRenderToTexture> target;
};

TEST_F(RenderToTextureTest, NewTargetIsAnIdleTexture)
{
    EXPECT_FALSE(target->active);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint width = 0, height = 0, bound = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(target->id));
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 512);

    // Capture without a draw: no clear, no projection change.
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<float> projection = Projection();
    target->Capture();
    EXPECT_TRUE(IsRed(TestSupport::ReadPixel(512, 384)));
    EXPECT_EQ(Viewport(), TestSupport::pictureBox);
    EXPECT_EQ(Projection(), projection);
    EXPECT_EQ(graphics->viewportHeight, 600);
}

TEST_F(RenderToTextureTest, CaptureDrawsAtTextureSizeThenClearsTheWholeWindow)
{
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    const std::vector<float> letterboxProjection = Projection();

    StateProbe first, second;
    target->Draw(first).Draw(second);
    EXPECT_EQ(first.draws, 1);
    EXPECT_EQ(second.draws, 1);
    EXPECT_TRUE(target->active);
    EXPECT_EQ(first.viewport, (std::array<GLint, 4>{0, 0, 1024, 512}));
    EXPECT_FALSE(first.scissorTest);
    EXPECT_EQ(first.width, 1024);
    EXPECT_EQ(first.height, 512);
    EXPECT_NEAR(first.projection[5] / first.projection[0], 2.0, 1e-5); // aspect 1024 / 512

    target->Capture();
    EXPECT_FALSE(target->active);
    const std::vector<unsigned char> window = TestSupport::ReadWindow();
    size_t notBlack = 0;
    for (unsigned char byte : window)
        notBlack += byte != 0;
    EXPECT_EQ(notBlack, 0u) << "the bands and the alpha channel are cleared too";

    EXPECT_EQ(Viewport(), TestSupport::pictureBox);
    EXPECT_EQ(ScissorBox(), TestSupport::pictureBox);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(graphics->viewportWidth, 1024);
    EXPECT_EQ(graphics->viewportHeight, 600);
    const std::vector<float> restored = Projection();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(restored[i], letterboxProjection[i], 1e-6) << i;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(target->id));

    // A second capture after going idle starts from the window again.
    StateProbe again;
    target->Draw(again);
    EXPECT_EQ(again.height, 512);
    target->Capture();
    EXPECT_EQ(graphics->viewportHeight, 600);
}

TEST_F(RenderToTextureTest, CapturedPictureComesBackMirrored)
{
    // A full-screen picture drawn through the target fills the target, and
    // the target's texture is the lower left corner of the back buffer.
    data.WritePicture("halves.png", 64, 64, [](int, int y) {
        return y < 32 ? Texel{255, 0, 0, 255} : Texel{0, 255, 0, 255};
    });
    Drawables::FullScreenTexture picture("halves.png", *graphics, false, true);
    target->Draw(Drawables::Enable(GL_TEXTURE_2D))
        .Draw(Drawables::Color(1, 1, 1, 1))
        .Draw(picture)
        .Draw(Drawables::Disable(GL_TEXTURE_2D));
    EXPECT_TRUE(IsRed(TestSupport::ReadPixel(1000, 768 - 500)));
    EXPECT_TRUE(IsGreen(TestSupport::ReadPixel(1000, 768 - 12)));
    target->Capture();

    target->grow = 0;
    DrawBack();
    for (int x : {10, 512, 1013}) {
        EXPECT_TRUE(IsGreen(TestSupport::ReadPixel(x, top + 10))) << x;
        EXPECT_TRUE(IsGreen(TestSupport::ReadPixel(x, top + 280))) << x;
        EXPECT_TRUE(IsRed(TestSupport::ReadPixel(x, top + 320))) << x;
        EXPECT_TRUE(IsRed(TestSupport::ReadPixel(x, top + 589))) << x;
    }
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
}

TEST_F(RenderToTextureTest, GrowEnlargesTheQuadEvenlyBeyondEveryEdge)
{
    // Red in the middle half of the target in both directions.
    CapturePicture([](int x, int y) {
        const bool inside = x >= 256 && x < 768 && y >= 128 && y < 384;
        return inside ? Texel{255, 0, 0, 255} : Texel{0, 0, 0, 255};
    });

    // Drawn back over 1024 x 600 the middle half spans [256, 768) x [150, 450).
    target->grow = 0;
    DrawBack();
    std::pair<int, int> columns = RedColumns(top + 300), rows = RedRows(512);
    EXPECT_NEAR(columns.first, 256, 1);
    EXPECT_NEAR(columns.second, 767, 1);
    EXPECT_NEAR(rows.first, top + 150, 1);
    EXPECT_NEAR(rows.second, top + 449, 1);

    // Grown by 10 the quad runs from -10 to W + 10: 1044 x 620 pixels.
    glClear(GL_COLOR_BUFFER_BIT);
    target->grow = 10;
    DrawBack();
    columns = RedColumns(top + 300);
    rows = RedRows(512);
    EXPECT_NEAR(columns.first, -10 + 0.25 * 1044, 1);
    EXPECT_NEAR(columns.second, -10 + 0.75 * 1044 - 1, 1);
    EXPECT_NEAR(rows.first, top - 10 + 0.25 * 620, 1);
    EXPECT_NEAR(rows.second, top - 10 + 0.75 * 620 - 1, 1);

    // x and y shift the whole quad.
    glClear(GL_COLOR_BUFFER_BIT);
    target->grow = 0;
    target->x = 40;
    target->y = -30;
    DrawBack();
    columns = RedColumns(top + 300);
    rows = RedRows(512);
    EXPECT_NEAR(columns.first, 296, 1);
    EXPECT_NEAR(rows.first, top + 120, 1);
}

TEST_F(RenderToTextureTest, WidthMustFitTheWindow)
{
    EXPECT_THROW(Drawables::RenderToTexture(*graphics, 0), std::invalid_argument);
    EXPECT_THROW(Drawables::RenderToTexture(*graphics, -5), std::invalid_argument);
    EXPECT_THROW(Drawables::RenderToTexture(*graphics, 1025), std::invalid_argument);
    Drawables::RenderToTexture narrow(*graphics, 256);
    EXPECT_EQ(narrow.width, 256);
    EXPECT_EQ(narrow.height, 512);
}

} // namespace
