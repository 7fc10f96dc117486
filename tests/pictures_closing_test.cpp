// The closing scenes' pictures as the build wrote them into data/: every one
// the city, box and end scenes load decodes with the size and alpha its use
// needs, and what the scenes rely on holds (transparent skies, the bright
// corner texel the city's rings are tinted by, the inverted twin, the flash,
// text on black). Plus the blur and colour passes they are painted with.
#include "tests/support/GlTest.h"
#include "tests/support/Image.h"
#include "tools/pictures/ClosingPictures.h"
#include "tools/pictures/Paint.h"

#include "drawables/Drawables.h"
#include "drawables/Texture.h"

#include <GL/gl.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Pictures::ClosingArt::CornerBlock;
using Pictures::ClosingArt::GreetingCount;

// A picture of the build's data/ as the show decodes it, named for messages.
struct Decoded : TestSupport::Image {
    explicit Decoded(const std::string& relative)
        : Image(TestSupport::LoadImage(TestSupport::BuildDir() + "/data/" + relative)), name(relative)
    {
    }

    bool Ok() const { return !Empty(); }
    int Channel(int x, int y, int c) const { return At(x, y)[c]; }

    // Mean over a box of a value of each pixel.
    template <class Value>
    double Mean(int x0, int y0, int x1, int y1, Value value) const
    {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += value(x, y);
        return sum / ((x1 - x0) * (y1 - y0));
    }
    double MeanLight() const
    {
        return Mean(0, 0, width, height, [this](int x, int y) { return Brightest(x, y) * Alpha(x, y) / 255.0; });
    }

    std::string name;
};

const char* const CityLayers[] = {"flat/cityBack.png", "flat/cityBackLight.png", "flat/cityFront.png",
                                  "flat/cityFrontLight.png"};

std::string Greeting(int number) { return "kasser/greetings" + std::to_string(number) + ".png"; }

// --- files the scenes load -----------------------------------------------

TEST(ClosingPictures, EveryLoadedPictureDecodesAtItsSize)
{
    struct Expected {
        std::string path;
        int width, height;
        bool blendedByAlpha; // opaque ones may be stored without alpha
    };
    std::vector<Expected> all;
    for (const char* layer : CityLayers)
        all.push_back({layer, 1024, 512, true});
    for (const char* screen : {"kasser/baggrund.png", "kasser/baggrund-inv.png", "kasser/flash.png",
                               "end/baggrund.png", "end/text.png"})
        all.push_back({screen, 1024, 512, false});
    for (int i = 1; i <= 3; ++i)
        all.push_back({"kasser/kasse" + std::to_string(i) + ".png", 256, 256, false});
    for (int i = 1; i <= GreetingCount; ++i)
        all.push_back({Greeting(i), 512, 512, true});
    ASSERT_EQ(all.size(), 26u);
    for (const Expected& expected : all) {
        const Decoded picture(expected.path);
        ASSERT_TRUE(picture.Ok()) << expected.path << ": " << IMG_GetError();
        if (expected.blendedByAlpha) {
            EXPECT_TRUE(picture.hasAlpha) << expected.path;
        }
        EXPECT_EQ(picture.width, expected.width) << expected.path;
        EXPECT_EQ(picture.height, expected.height) << expected.path;
    }
}

// --- city -----------------------------------------------------------------

TEST(ClosingPictures, SkylinesHaveAnOpenSkyAndASolidStreet)
{
    for (const char* path : CityLayers) {
        const Decoded layer(path);
        ASSERT_TRUE(layer.Ok()) << path;
        // The moon sits in the front layers' top-left corner; the rest of
        // the upper band is sky.
        const int skyFrom = std::string(path).find("Front") != std::string::npos ? 400 : 0;
        int coveredSky = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = skyFrom; x < layer.width; ++x)
                coveredSky += layer.Alpha(x, y) != 0;
        EXPECT_EQ(coveredSky, 0) << path;
        int openStreet = 0;
        for (int y = layer.height - 40; y < layer.height; ++y)
            for (int x = 0; x < layer.width; ++x)
                openStreet += layer.Alpha(x, y) != 255;
        EXPECT_EQ(openStreet, 0) << path;
    }
}

TEST(ClosingPictures, LitSkylinesShineBrighterOverTheSameSilhouette)
{
    for (int back = 0; back < 2; ++back) {
        const Decoded unlit(CityLayers[back * 2]), lit(CityLayers[back * 2 + 1]);
        ASSERT_TRUE(unlit.Ok() && lit.Ok());
        EXPECT_GT(lit.MeanLight(), unlit.MeanLight() * 1.3) << lit.name;
        // Same buildings: below the roof line the two cover the same pixels.
        int differing = 0;
        for (int y = lit.height / 2 + 60; y < lit.height; ++y)
            for (int x = 0; x < lit.width; ++x)
                differing += (lit.Alpha(x, y) == 255) != (unlit.Alpha(x, y) == 255);
        EXPECT_LT(differing, lit.width * 4) << lit.name;
    }
}

TEST(ClosingPictures, LitFrontCornerIsWhiteAndOpaque)
{
    const Decoded front("flat/cityFrontLight.png");
    ASSERT_TRUE(front.Ok());
    for (int y = 0; y < CornerBlock; ++y)
        for (int x = 0; x < CornerBlock; ++x)
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(front.Channel(x, y, c), 255) << x << "," << y << " channel " << c;
    // It is part of the moon, not a lone square: the moon stays bright
    // around it.
    EXPECT_GT(front.Mean(CornerBlock, CornerBlock, 40, 30, [&](int x, int y) { return front.Brightest(x, y); }), 200);
}

// --- boxes ----------------------------------------------------------------

TEST(ClosingPictures, BoxBackgroundTwinIsTheInverseAndFlashIsBrighter)
{
    const Decoded background("kasser/baggrund.png"), inverse("kasser/baggrund-inv.png"), flash("kasser/flash.png");
    ASSERT_TRUE(background.Ok() && inverse.Ok() && flash.Ok());
    TestSupport::Image turnedBack = inverse;
    for (size_t i = 0; i < turnedBack.rgba.size(); ++i)
        if (i % 4 != 3)
            turnedBack.rgba[i] = static_cast<unsigned char>(255 - turnedBack.rgba[i]);
    EXPECT_TRUE(TestSupport::ImagesClose(background, turnedBack, {1, 1.0})) << "inverted twice, off by rounding only";
    int translucent = 0;
    for (int y = 0; y < background.height; ++y)
        for (int x = 0; x < background.width; ++x)
            translucent += background.Alpha(x, y) != 255 || inverse.Alpha(x, y) != 255 || flash.Alpha(x, y) != 255;
    EXPECT_EQ(translucent, 0);
    EXPECT_GT(flash.MeanLight(), background.MeanLight() * 1.5);
    // The flash must not be a white sheet: the room still shows in it.
    EXPECT_LT(flash.MeanLight(), 235);
}

TEST(ClosingPictures, BoxFacesAreOpaqueAndDifferent)
{
    std::vector<Decoded> faces;
    for (int i = 1; i <= 3; ++i)
        faces.emplace_back("kasser/kasse" + std::to_string(i) + ".png");
    for (const Decoded& face : faces) {
        ASSERT_TRUE(face.Ok()) << face.name;
        EXPECT_EQ(face.Mean(0, 0, face.width, face.height, [&](int x, int y) { return face.Alpha(x, y); }), 255.0)
            << face.name;
        // Bright enough to read under the scene's dim diffuse light.
        EXPECT_GT(face.MeanLight(), 60) << face.name;
    }
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
            EXPECT_GT(std::fabs(faces[a].Mean(0, 0, 256, 256, [&](int x, int y) { return faces[a].Channel(x, y, 2); }) -
                                faces[b].Mean(0, 0, 256, 256, [&](int x, int y) { return faces[b].Channel(x, y, 2); })),
                      10)
                << faces[a].name << " vs " << faces[b].name;
}

TEST(ClosingPictures, GreetingsAreNamesAcrossTheMiddleOfAClearSquare)
{
    std::vector<std::vector<bool>> masks;
    for (int i = 1; i <= GreetingCount; ++i) {
        const Decoded greeting(Greeting(i));
        ASSERT_TRUE(greeting.Ok()) << greeting.name;
        int left = greeting.width, right = -1, top = greeting.height, bottom = -1;
        std::vector<bool> mask(static_cast<size_t>(greeting.width) * greeting.height);
        for (int y = 0; y < greeting.height; ++y)
            for (int x = 0; x < greeting.width; ++x) {
                if (greeting.Alpha(x, y) < 128)
                    continue;
                mask[static_cast<size_t>(y) * greeting.width + x] = true;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        ASSERT_GE(right, 0) << greeting.name << " is empty";
        EXPECT_GT(right - left, 300) << greeting.name;
        EXPECT_NEAR((top + bottom) / 2.0, 256, 40) << greeting.name;
        // Neighbours on the scene's row touch edge to edge: keep the rim
        // clear so the names do not run into one another.
        int rim = 0;
        for (int k = 0; k < greeting.width; ++k)
            rim += greeting.Alpha(k, 0) + greeting.Alpha(k, 511) + greeting.Alpha(0, k) + greeting.Alpha(511, k);
        EXPECT_EQ(rim, 0) << greeting.name;
        masks.push_back(std::move(mask));
    }
    for (size_t a = 0; a < masks.size(); ++a)
        for (size_t b = a + 1; b < masks.size(); ++b) {
            size_t differing = 0;
            for (size_t p = 0; p < masks[a].size(); ++p)
                differing += masks[a][p] != masks[b][p];
            EXPECT_GT(differing, 5000u) << "greetings" << a + 1 << " and greetings" << b + 1 << " look alike";
        }
}

// --- end ------------------------------------------------------------------

TEST(ClosingPictures, EndTextStandsOnBlackOverAnOpaqueBackground)
{
    const Decoded text("end/text.png"), background("end/baggrund.png");
    ASSERT_TRUE(text.Ok() && background.Ok());
    // Added onto the fading background: everything but the words adds nothing.
    const auto light = [&](int x, int y) { return text.Brightest(x, y); };
    EXPECT_EQ(text.Mean(0, 0, 1024, 120, light), 0.0);
    EXPECT_EQ(text.Mean(0, 420, 1024, 512, light), 0.0);
    EXPECT_EQ(text.Mean(0, 0, 40, 512, light), 0.0);
    EXPECT_EQ(text.Mean(984, 0, 1024, 512, light), 0.0);
    EXPECT_GT(text.Mean(200, 200, 824, 300, light), 60);
    EXPECT_EQ(background.Mean(0, 0, 1024, 512, [&](int x, int y) { return background.Alpha(x, y); }), 255.0);
    EXPECT_GT(background.MeanLight(), 25);
}

// --- in the scenes' GL set-up -----------------------------------------------

class ClosingPicturesOnScreen : public TestSupport::GlTest {};

// The rings are drawn with texture coordinate (0, 0) while the lit front is
// bound (clamped, mipmapped): what they sample there must not darken them to
// nothing.
TEST_F(ClosingPicturesOnScreen, RingsSampleALightCornerOfTheLitFront)
{
    const std::string path = TestSupport::BuildDir() + "/data/flat/cityFrontLight.png";
    Drawables::Texture front(path.c_str(), *graphics, false, true);
    graphics->Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(Drawables::Color(1, 1, 1, 1)).Draw(front);
    TestSupport::DrawQuadSampling(0, 0);
    graphics->Draw(Drawables::Disable(GL_TEXTURE_2D));
    const TestSupport::Rgba centre = TestSupport::ReadPixel(512, 384);
    // Clamped to its edge, the corner sample is the corner texel itself.
    for (int channel : {centre.r, centre.g, centre.b, centre.a})
        EXPECT_GE(channel, 240);
}

TEST_F(ClosingPicturesOnScreen, SkylinesCoverOnlyTheirBuildings)
{
    const std::string back = TestSupport::BuildDir() + "/data/flat/cityBack.png";
    const std::string front = TestSupport::BuildDir() + "/data/flat/cityFront.png";
    Drawables::FullScreenTexture backLayer(back.c_str(), *graphics, false, true);
    Drawables::FullScreenTexture frontLayer(front.c_str(), *graphics, false, true);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    graphics->Draw(Drawables::Enable(GL_TEXTURE_2D))
        .Draw(Drawables::Enable(Drawables::BLEND_ALPHA))
        .Draw(Drawables::Color(1, 1, 1, 1))
        .Draw(backLayer)
        .Draw(frontLayer)
        .Draw(Drawables::Disable(Drawables::BLEND_ALPHA))
        .Draw(Drawables::Disable(GL_TEXTURE_2D));
    // High sky away from the moon: the cleared black stays.
    const TestSupport::Rgba sky = TestSupport::ReadPixel(700, TestSupport::pictureTop + 20);
    EXPECT_LE(std::max({sky.r, sky.g, sky.b}), 2);
    // The street at the bottom of the letterbox: a building covers it.
    int covered = 0;
    for (int x = 8; x < 1024; x += 64) {
        const TestSupport::Rgba street = TestSupport::ReadPixel(x, TestSupport::pictureTop + 590);
        covered += std::max({street.r, street.g, street.b}) > 4;
    }
    EXPECT_GE(covered, 14);
}

// --- painting passes ---------------------------------------------------------

TEST(PaintBytes, BlurSpreadsLightEvenlyAndKeepsIt)
{
    Pictures::Canvas canvas(64, 64);
    cairo_rectangle(canvas.cr(), 30, 30, 4, 4);
    cairo_set_source_rgba(canvas.cr(), 1, 1, 1, 1);
    cairo_fill(canvas.cr());
    Pictures::BlurBytes(canvas, 9);
    cairo_surface_flush(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    auto alpha = [&](int x, int y) { return static_cast<int>(data[y * stride + x * 4 + 3]); };
    double total = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            total += alpha(x, y);
    EXPECT_NEAR(total, 16 * 255, 16 * 255 * 0.06); // rounding only, nothing leaks away
    EXPECT_LT(alpha(31, 31), 200);
    EXPECT_GT(alpha(31, 26), 0);
    // Symmetric about the square's centre (31.5, 31.5).
    for (int d = 1; d < 8; ++d) {
        EXPECT_NEAR(alpha(31 - d, 31), alpha(32 + d, 31), 2) << d;
        EXPECT_NEAR(alpha(31, 31 - d), alpha(31, 32 + d), 2) << d;
    }
}

TEST(PaintBytes, InvertAndGrainKeepCoverage)
{
    Pictures::Canvas canvas(32, 32);
    cairo_rectangle(canvas.cr(), 0, 0, 16, 32);
    cairo_set_source_rgba(canvas.cr(), 0.2, 0.6, 1.0, 1.0);
    cairo_fill(canvas.cr());
    cairo_rectangle(canvas.cr(), 16, 0, 16, 32);
    cairo_set_source_rgba(canvas.cr(), 1.0, 1.0, 1.0, 0.5);
    cairo_fill(canvas.cr());
    Pictures::AddGrainBytes(canvas, 0.2, 3u);
    cairo_surface_flush(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const unsigned char* p = data + y * stride + x * 4;
            ASSERT_EQ(p[3], x < 16 ? 255 : 128) << x << "," << y;
            // Premultiplied colour never exceeds its alpha.
            ASSERT_LE(std::max({p[0], p[1], p[2]}), p[3]) << x << "," << y;
        }
    std::vector<unsigned char> before(data, data + stride * 32);
    Pictures::Invert(canvas);
    Pictures::Invert(canvas);
    cairo_surface_flush(canvas.surface());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), cairo_image_surface_get_data(canvas.surface())));
}

} // namespace
