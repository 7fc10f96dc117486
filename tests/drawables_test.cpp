// The drawables as GL sees them: blend state, matrix stack, and where the
// full-screen picture and the 3D quad land in the letterboxed window.
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <vector>

using TestSupport::Texel;

namespace {

// Letterbox rows as seen from the top of the window.
const int top = TestSupport::pictureTop;
const int bottom = TestSupport::pictureBottom + 1; // first band row below the picture
const int centreRow = 384;

// Records the modelview matrix and stack depth at the moment it is drawn.
class MatrixProbe : public Drawables::IDrawable {
public:
    void Draw(Adapter::Graphics&) override
    {
        matrix = TestSupport::ModelviewMatrix();
        depth = TestSupport::ModelviewDepth();
    }
    std::vector<float> matrix;
    int depth = 0;
};

std::vector<float> Translation(float x, float y, float z)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

void ExpectMatrix(const std::vector<float>& got, const std::vector<float>& expected)
{
    ASSERT_EQ(got.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], expected[i], 1e-5f) << "element " << i;
}

// The whole window, read back once, with pixel tests.
class Frame {
public:
    Frame() : pixels(TestSupport::ReadWindow()) {}

    TestSupport::Rgba At(int x, int y) const
    {
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * 1024 + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    bool Lit(int x, int y) const
    {
        const TestSupport::Rgba p = At(x, y);
        return std::max({p.r, p.g, p.b}) > 100;
    }
    bool Black(int x, int y) const
    {
        const TestSupport::Rgba p = At(x, y);
        return p.r + p.g + p.b < 16;
    }
    bool Red(int x, int y) const
    {
        const TestSupport::Rgba p = At(x, y);
        return p.r > 200 && p.g < 40 && p.b < 40;
    }
    bool Blue(int x, int y) const
    {
        const TestSupport::Rgba p = At(x, y);
        return p.b > 200 && p.r < 40 && p.g < 40;
    }

    // Counts lit pixels inside and outside the window rectangle [x0, x1) x [y0, y1).
    void CountLit(int x0, int y0, int x1, int y1, int& inside, int& outside) const
    {
        inside = outside = 0;
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x)
                if (Lit(x, y))
                    ++((x >= x0 && x < x1 && y >= y0 && y < y1) ? inside : outside);
    }

private:
    std::vector<unsigned char> pixels;
};

class DrawablesTest : public TestSupport::GlTest {
protected:
    void SetUp() override
    {
        TestSupport::GlTest::SetUp();
        // Top half red, bottom half blue: shows which way up a picture lands.
        data.WritePicture("halves.png", 64, 64, [](int, int y) {
            return y < 32 ? Texel{255, 0, 0, 255} : Texel{0, 0, 255, 255};
        });
    }

    void ClearLetterbox()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Draws `picture` untextured in white, so that only its geometry shows.
    Frame DrawFlat(Drawables::FullScreenTexture& picture)
    {
        ClearLetterbox();
        graphics->Draw(Drawables::Color(1, 1, 1, 1)).Draw(picture);
        return Frame();
    }

    Frame DrawTextured(Drawables::IDrawable& drawable)
    {
        ClearLetterbox();
        graphics->Draw(Drawables::Enable(GL_TEXTURE_2D))
            .Draw(Drawables::Color(1, 1, 1, 1))
            .Draw(drawable)
            .Draw(Drawables::Disable(GL_TEXTURE_2D));
        return Frame();
    }

    TestSupport::TestData data;
};

TEST_F(DrawablesTest, EachBlendModeSetsItsFunctionAndDisableOnlySwitchesBlendingOff)
{
    struct Mode {
        GLenum cap;
        GLint src, dst;
    };
    const Mode modes[] = {{GL_BLEND, GL_ONE, GL_ONE},
                          {Drawables::BLEND_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
                          {Drawables::BLEND_ALPHA_INV_DST, GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA},
                          {Drawables::BLEND_ALPHA_ADD, GL_SRC_ALPHA, GL_ONE}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.cap);
        glBlendFunc(GL_DST_COLOR, GL_ZERO); // not one of the modes
        graphics->Draw(Drawables::Enable(mode.cap));
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(src, mode.src);
        EXPECT_EQ(dst, mode.dst);

        graphics->Draw(Drawables::Disable(mode.cap));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(src, mode.src);
        EXPECT_EQ(dst, mode.dst);
        // The pseudo-capabilities never reach GL as capabilities.
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Ordinary capabilities are switched alone.
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    graphics->Draw(Drawables::Enable(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(src, GL_DST_COLOR);
    graphics->Draw(Drawables::Disable(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawablesTest, FullScreenPictureResetsTheModelviewMatrix)
{
    Drawables::FullScreenTexture picture("halves.png", *graphics, false, true);

    // At the top level: the identity, whatever was loaded before.
    graphics->Draw(Drawables::Translate(1, 2, 3)).Draw(Drawables::Rotate(30, 0, 1, 0)).Draw(picture);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    glGetError(); // the unmatched pop underflows; nothing reads that

    // Inside a push: the picture drops back to what the push saved, so the
    // quad after it ignores the translation and the closing pop finds the
    // stack already at depth 1.
    graphics->Draw(Drawables::Translate(4, 5, 6));
    MatrixProbe atQuad;
    graphics->Draw(Drawables::PushMatrix())
        .Draw(Drawables::Translate(0, 0, -1))
        .Draw(picture)
        .Draw(atQuad)
        .Draw(Drawables::Quad(1, 1))
        .Draw(Drawables::PopMatrix());
    EXPECT_EQ(atQuad.depth, 1);
    ExpectMatrix(atQuad.matrix, Translation(4, 5, 6));
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    ExpectMatrix(TestSupport::ModelviewMatrix(), Translation(4, 5, 6));
    glGetError();

    // Two levels deep it takes exactly one level away.
    graphics->Draw(Drawables::PushMatrix()).Draw(Drawables::PushMatrix()).Draw(picture);
    EXPECT_EQ(TestSupport::ModelviewDepth(), 2);

    // The projection is given back untouched and the mode stays modelview.
    GLint mode = 0, projectionDepth = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(projectionDepth, 1);
    std::vector<float> projection(16);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    EXPECT_NEAR(projection[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-4);
    EXPECT_NEAR(projection[0], projection[5] * 600.0 / 1024.0, 1e-4);
}

TEST_F(DrawablesTest, MatrixDrawablesComposeOnTheCurrentMatrix)
{
    MatrixProbe inside;
    graphics->Draw(Drawables::PushMatrix())
        .Draw(Drawables::Translate(1, 2, 3))
        .Draw(Drawables::Scale(2, 2, 2))
        .Draw(Drawables::Rotate(90, 0, 0, 1))
        .Draw(inside)
        .Draw(Drawables::PopMatrix());
    EXPECT_EQ(inside.depth, 2);
    ExpectMatrix(inside.matrix, {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1});
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));

    // The camera multiplies; it does not load.
    graphics->Draw(Drawables::Translate(1, 0, 0)).Draw(Drawables::LookAt(0, 0, 5, 0, 0, 0, 0, 1, 0));
    ExpectMatrix(TestSupport::ModelviewMatrix(), Translation(1, 0, -5));
}

TEST_F(DrawablesTest, FullScreenPictureCoversExactlyTheLetterbox)
{
    Drawables::FullScreenTexture picture("halves.png", *graphics, false, true);
    int inside = 0, outside = 0;
    DrawFlat(picture).CountLit(0, top, 1024, bottom, inside, outside);
    EXPECT_EQ(inside, 1024 * 600);
    EXPECT_EQ(outside, 0);

    // Upright and stretched over the whole area.
    const Frame frame = DrawTextured(picture);
    for (int x : {20, 512, 1003}) {
        EXPECT_TRUE(frame.Red(x, top + 20)) << x;
        EXPECT_TRUE(frame.Red(x, centreRow - 20)) << x;
        EXPECT_TRUE(frame.Blue(x, centreRow + 20)) << x;
        EXPECT_TRUE(frame.Blue(x, bottom - 20)) << x;
    }
    EXPECT_TRUE(frame.Black(512, top - 1));
    EXPECT_TRUE(frame.Black(512, bottom));
}

TEST_F(DrawablesTest, PlacementFieldsMoveAndStretchThePicture)
{
    Drawables::FullScreenTexture picture("halves.png", *graphics, false, true);
    int inside = 0, outside = 0;

    picture.x = 100;
    picture.y = 50;
    DrawFlat(picture).CountLit(100, top + 50, 1024, bottom, inside, outside);
    EXPECT_EQ(inside, 924 * 550);
    EXPECT_EQ(outside, 0);

    // A strip of 300 pixels holding the whole picture.
    picture.x = 0;
    picture.y = 0;
    picture.height = 300;
    DrawFlat(picture).CountLit(0, top, 1024, top + 300, inside, outside);
    EXPECT_EQ(inside, 1024 * 300);
    EXPECT_EQ(outside, 0);
    Frame frame = DrawTextured(picture);
    EXPECT_TRUE(frame.Red(512, top + 130));
    EXPECT_TRUE(frame.Blue(512, top + 170));

    // Taller than the viewport: the projection still spans 600 pixels, so
    // the middle of the picture lands 300 pixels below its top edge.
    picture.y = -50;
    picture.height = 700;
    frame = DrawTextured(picture);
    EXPECT_TRUE(frame.Red(512, top + 280));
    EXPECT_TRUE(frame.Blue(512, top + 320));
    EXPECT_TRUE(frame.Red(512, top));
    EXPECT_TRUE(frame.Blue(512, bottom - 1));

    // Scale grows the quad toward the top left corner: x 10 starts at 20.
    picture.y = 0;
    picture.height = -1;
    picture.x = 10;
    picture.scale = 2;
    DrawFlat(picture).CountLit(20, top, 1024, bottom, inside, outside);
    EXPECT_EQ(inside, 1004 * 600);
    EXPECT_EQ(outside, 0);

    picture.x = 0;
    picture.scale = 0.5f;
    DrawFlat(picture).CountLit(0, top, 512, top + 300, inside, outside);
    EXPECT_EQ(inside, 512 * 300);
    EXPECT_EQ(outside, 0);
}

TEST_F(DrawablesTest, QuadIsCentredUprightAndPlacedByTheTransforms)
{
    Drawables::Texture halves("halves.png", *graphics, false, true);
    // At a distance of 5 the visible half-height is 5 tan(22.5 deg), which
    // the 600-pixel letterbox maps to 300 pixels.
    const double pixelsPerUnit = 300.0 / (5.0 * std::tan(22.5 * M_PI / 180.0));
    const int halfWidth = static_cast<int>(pixelsPerUnit);        // 1 unit
    const int halfHeight = static_cast<int>(0.5 * pixelsPerUnit); // 0.5 unit

    struct Placed : Drawables::IDrawable {
        Drawables::Texture& texture;
        Drawables::IDrawable& transform;
        float width, height;
        Placed(Drawables::Texture& texture, Drawables::IDrawable& transform, float width, float height)
            : texture(texture), transform(transform), width(width), height(height)
        {
        }
        void Draw(Adapter::Graphics& graphics) override
        {
            graphics.Draw(texture)
                .Draw(Drawables::PushMatrix())
                .Draw(Drawables::Translate(0, 0, -5))
                .Draw(transform)
                .Draw(Drawables::Quad(width, height))
                .Draw(Drawables::PopMatrix());
        }
    };

    Drawables::Scale none(1, 1, 1);
    Placed wide(halves, none, 2, 1);
    Frame frame = DrawTextured(wide);
    EXPECT_TRUE(frame.Red(512, centreRow - halfHeight + 4));
    EXPECT_TRUE(frame.Blue(512, centreRow + halfHeight - 4));
    EXPECT_TRUE(frame.Lit(512 - halfWidth + 3, centreRow - 20));
    EXPECT_TRUE(frame.Lit(512 + halfWidth - 3, centreRow - 20));
    EXPECT_TRUE(frame.Black(512 - halfWidth - 3, centreRow));
    EXPECT_TRUE(frame.Black(512 + halfWidth + 3, centreRow));
    EXPECT_TRUE(frame.Black(512, centreRow - halfHeight - 3));
    EXPECT_TRUE(frame.Black(512, centreRow + halfHeight + 3));
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));

    // A quarter turn about z stands it up, the top edge now on the left.
    Drawables::Rotate quarter(90, 0, 0, 1);
    Placed turned(halves, quarter, 2, 1);
    frame = DrawTextured(turned);
    EXPECT_TRUE(frame.Red(512 - halfHeight + 4, centreRow));
    EXPECT_TRUE(frame.Blue(512 + halfHeight - 4, centreRow));
    EXPECT_TRUE(frame.Lit(512 - 20, centreRow - halfWidth + 3));
    EXPECT_TRUE(frame.Black(512 - 20, centreRow - halfWidth - 3));
    EXPECT_TRUE(frame.Black(512 + halfHeight + 3, centreRow));

    // Scale stretches a unit square into the same 2 x 1 shape.
    Drawables::Scale stretch(2, 1, 1);
    Placed stretched(halves, stretch, 1, 1);
    frame = DrawTextured(stretched);
    EXPECT_TRUE(frame.Lit(512 + halfWidth - 3, centreRow - 20));
    EXPECT_TRUE(frame.Black(512 + halfWidth + 3, centreRow - 20));
    EXPECT_TRUE(frame.Black(512, centreRow + halfHeight + 3));
}

TEST_F(DrawablesTest, ColourTintsAndFogFadesTowardItsColour)
{
    data.WriteSolid("white.png", 4, 4, Texel{255, 255, 255, 255});
    Drawables::FullScreenTexture picture("white.png", *graphics, true, true);
    ClearLetterbox();
    graphics->Draw(Drawables::Enable(GL_TEXTURE_2D))
        .Draw(Drawables::Color(1, 0.5f, 0, 1))
        .Draw(picture)
        .Draw(Drawables::Disable(GL_TEXTURE_2D));
    TestSupport::Rgba tinted = TestSupport::ReadPixel(512, centreRow);
    EXPECT_NEAR(tinted.r, 255, 2);
    EXPECT_NEAR(tinted.g, 128, 2);
    EXPECT_NEAR(tinted.b, 0, 2);

    // Linear fog from 1 to 10: at a distance of 5.5 half the colour is fog.
    ClearLetterbox();
    graphics->Draw(Drawables::Fog(1, 0, 0, 1, 1, 10));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    graphics->Draw(Drawables::Enable(GL_FOG))
        .Draw(Drawables::Color(1, 1, 1, 1))
        .Draw(Drawables::PushMatrix())
        .Draw(Drawables::Translate(0, 0, -5.5f))
        .Draw(Drawables::Quad(1, 1))
        .Draw(Drawables::PopMatrix())
        .Draw(Drawables::Disable(GL_FOG));
    const TestSupport::Rgba fogged = TestSupport::ReadPixel(512, centreRow);
    EXPECT_NEAR(fogged.r, 255, 3);
    EXPECT_NEAR(fogged.g, 127, 8);
    EXPECT_NEAR(fogged.b, 127, 8);
    GLint fogMode = 0;
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    EXPECT_EQ(fogMode, GL_LINEAR);
}

} // namespace
