// The pictures of the loading card and the opening scenes, as the build wrote
// them into data/: decodable, of the size and alpha each use needs, black
// where they are added, transparent where they must not cover, seamless where
// they are wrapped. Plus the painting helpers they are built with.
#include "tests/support/GlTest.h"
#include "tests/support/Image.h"
#include "tools/pictures/Paint.h"

#include "drawables/Drawables.h"
#include "drawables/Texture.h"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using TestSupport::Image;

double MeanLuminance(const Image& p)
{
    double sum = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4)
        sum += 0.3 * p.rgba[i] + 0.59 * p.rgba[i + 1] + 0.11 * p.rgba[i + 2];
    return sum / (p.rgba.size() / 4);
}

// Decoded as the show decodes it, from the build's data/.
Image Load(const std::string& relative)
{
    const Image picture = TestSupport::LoadImage(TestSupport::BuildDir() + "/data/" + relative);
    if (picture.Empty())
        ADD_FAILURE() << relative << ": " << IMG_GetError();
    return picture;
}

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Mean absolute channel difference between two columns (or rows) of a picture.
double ColumnDifference(const Image& p, int a, int b)
{
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(p.At(a, y)[c] - p.At(b, y)[c]);
    return sum / (p.height * 3);
}

double RowDifference(const Image& p, int a, int b)
{
    double sum = 0;
    for (int x = 0; x < p.width; ++x)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(p.At(x, a)[c] - p.At(x, b)[c]);
    return sum / (p.width * 3);
}

struct Expected {
    const char* path;
    int width, height;
    bool alpha;
};

const Expected kPictures[] = {
    {"loader/loading.png", 1024, 512, false},    {"logo/baggrund.png", 1024, 512, false},
    {"logo/logo.png", 512, 256, false},          {"partikler/blomst.png", 128, 128, false},
    {"partikler/sloer.png", 256, 256, true},     {"partikler/baggrund.png", 1024, 512, false},
    {"cylinder/texture2.png", 256, 256, false},  {"cylinder/texture3.png", 256, 256, false},
    {"cylinder/baggrund.png", 1024, 512, false}, {"cylinder/flash.png", 1024, 512, false},
    {"cylinder/slider.png", 512, 256, true},     {"balls/texture1.png", 512, 256, false},
    {"balls/sloer.png", 256, 256, true},         {"balls/baggrund.png", 1024, 512, false},
    {"balls/flash.png", 1024, 512, false},       {"drink/caipirinha.png", 256, 1024, false},
    {"drink/flash.png", 1024, 512, false},
};

TEST(OpeningPictures, EveryPictureDecodesWithItsSizeAndAlpha)
{
    for (const Expected& expected : kPictures) {
        SCOPED_TRACE(expected.path);
        const Image p = Load(expected.path);
        ASSERT_EQ(p.width, expected.width);
        ASSERT_EQ(p.height, expected.height);
        EXPECT_TRUE(PowerOfTwo(p.width) && PowerOfTwo(p.height));
        EXPECT_EQ(p.hasAlpha, expected.alpha);
        if (!expected.alpha) {
            int translucent = 0;
            for (size_t i = 3; i < p.rgba.size(); i += 4)
                translucent += p.rgba[i] != 255;
            EXPECT_EQ(translucent, 0) << "opaque pictures must not let anything through";
        }
        // Not a blank placeholder: some light and some shade.
        int darkest = 255, brightest = 0;
        for (int y = 0; y < p.height; y += 3)
            for (int x = 0; x < p.width; x += 3) {
                darkest = std::min(darkest, p.Brightest(x, y));
                brightest = std::max(brightest, p.Brightest(x, y));
            }
        EXPECT_GT(brightest - darkest, 80);
    }
}

// Sprites added with (GL_ONE, GL_ONE) must add nothing at their quad's edge.
TEST(OpeningPictures, AdditiveSpritesStandOnBlackWithLightInside)
{
    for (const char* path : {"logo/logo.png", "partikler/blomst.png", "drink/caipirinha.png"}) {
        SCOPED_TRACE(path);
        const Image p = Load(path);
        ASSERT_GT(p.width, 0);
        int border = 0;
        for (int x = 0; x < p.width; ++x)
            border = std::max({border, p.Brightest(x, 0), p.Brightest(x, p.height - 1)});
        for (int y = 0; y < p.height; ++y)
            border = std::max({border, p.Brightest(0, y), p.Brightest(p.width - 1, y)});
        EXPECT_LE(border, 2);
        int centre = 0;
        for (int y = p.height / 4; y < 3 * p.height / 4; ++y)
            centre = std::max(centre, p.Brightest(p.width / 2, y));
        EXPECT_GT(centre, 200);
    }
    // The glass stands in the middle of its tall strip, black above and below.
    const Image glass = Load("drink/caipirinha.png");
    ASSERT_GT(glass.height, 0);
    EXPECT_LE(glass.Brightest(glass.width / 2, 40), 10);
    EXPECT_GT(glass.Brightest(glass.width / 2, glass.height / 2), 100);
}

// Veils and the banner are alpha-blended: clear where nothing should cover.
TEST(OpeningPictures, AlphaPicturesAreClearAtTheCornersAndSolidInPlaces)
{
    for (const char* path : {"partikler/sloer.png", "balls/sloer.png", "cylinder/slider.png"}) {
        SCOPED_TRACE(path);
        const Image p = Load(path);
        ASSERT_GT(p.width, 0);
        const int w = p.width - 1, h = p.height - 1;
        EXPECT_EQ(p.Alpha(0, 0) + p.Alpha(w, 0) + p.Alpha(0, h) + p.Alpha(w, h), 0);
        int clear = 0, covering = 0;
        for (size_t i = 3; i < p.rgba.size(); i += 4) {
            clear += p.rgba[i] == 0;
            covering += p.rgba[i] >= 128;
        }
        const int total = p.width * p.height;
        EXPECT_GT(clear, total / 10);
        EXPECT_GT(covering, total / 50);
    }
    // The banner is a band: clear above it, covering across its middle.
    const Image banner = Load("cylinder/slider.png");
    ASSERT_GT(banner.width, 0);
    EXPECT_EQ(banner.Alpha(banner.width / 2, 20), 0);
    EXPECT_GT(banner.Alpha(banner.width / 2, banner.height / 2), 60);
    // The ball shows through the middle of its veil.
    const Image veil = Load("balls/sloer.png");
    ASSERT_GT(veil.width, 0);
    EXPECT_EQ(veil.Alpha(veil.width / 2, veil.height / 2), 0);
}

// Wrapped textures: the last column runs into the first and the last row into
// the first about as smoothly as neighbouring columns and rows do.
TEST(OpeningPictures, WrappedTexturesTileSeamlessly)
{
    for (const char* path : {"cylinder/texture2.png", "cylinder/texture3.png", "balls/texture1.png"}) {
        SCOPED_TRACE(path);
        const Image p = Load(path);
        ASSERT_GT(p.width, 0);
        double neighbours = 0, rowNeighbours = 0;
        for (int x = 0; x + 1 < p.width; ++x)
            neighbours += ColumnDifference(p, x, x + 1);
        for (int y = 0; y + 1 < p.height; ++y)
            rowNeighbours += RowDifference(p, y, y + 1);
        neighbours /= p.width - 1;
        rowNeighbours /= p.height - 1;
        EXPECT_LE(ColumnDifference(p, p.width - 1, 0), 3 * neighbours + 2);
        EXPECT_LE(RowDifference(p, p.height - 1, 0), 3 * rowNeighbours + 2);
    }
}

TEST(OpeningPictures, BassSwapsBetweenClearlyDifferentTubeSkins)
{
    const Image a = Load("cylinder/texture2.png"), b = Load("cylinder/texture3.png");
    ASSERT_EQ(a.rgba.size(), b.rgba.size());
    // A mean of 40 a byte, alpha (the same in both) counted.
    EXPECT_GT(TestSupport::Difference(a, b).mean, 40 * 4 / 3.0);
    EXPECT_GT(std::fabs(MeanLuminance(a) - MeanLuminance(b)), 40);
}

TEST(OpeningPictures, FlashesAreBrightVersionsOfTheirBackgrounds)
{
    for (const char* dir : {"cylinder", "balls"}) {
        SCOPED_TRACE(dir);
        const Image background = Load(std::string(dir) + "/baggrund.png");
        const Image flash = Load(std::string(dir) + "/flash.png");
        EXPECT_GT(MeanLuminance(flash), MeanLuminance(background) + 60);
        // Still the same picture: its darker and lighter places stay in step.
        int agree = 0, total = 0;
        for (int y = 16; y < 512; y += 32)
            for (int x = 16; x + 64 < 1024; x += 64, ++total)
                agree += (background.Brightest(x, y) < background.Brightest(x + 64, y)) ==
                         (flash.Brightest(x, y) < flash.Brightest(x + 64, y));
        EXPECT_GT(agree, total * 6 / 10);
    }
    EXPECT_GT(MeanLuminance(Load("drink/flash.png")), 150);
}

using Pictures::Canvas;

// Straight colour of a canvas pixel, 0..255.
TestSupport::Rgba CanvasPixel(Canvas& canvas, int x, int y)
{
    cairo_surface_flush(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const uint32_t p =
        *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(canvas.surface()) + x * 4);
    const int a = p >> 24;
    auto straight = [a](int v) { return a ? v * 255 / a : 0; };
    return {straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF), straight(p & 0xFF), a};
}

TEST(PaintHelpers, WrappedBlurAndNoiseStayTileable)
{
    const Pictures::PeriodicNoise noise(4, 9);
    for (double x : {0.3, 1.7, 3.2})
        EXPECT_NEAR(noise.Fractal(x, 0.6, 4), noise.Fractal(x + 4.0, 0.6 + 4.0, 4), 1e-9);

    // A bright stripe on the left edge bleeds across to the right edge when
    // wrapped, not when clamped.
    for (Pictures::Edges edges : {Pictures::Edges::Wrap, Pictures::Edges::Clamp}) {
        Canvas canvas(64, 16);
        Pictures::FillVertical(canvas, {{0.0, {0, 0, 0}, 1.0}, {1.0, {0, 0, 0}, 1.0}});
        cairo_set_source_rgb(canvas.cr(), 1, 1, 1);
        cairo_rectangle(canvas.cr(), 0, 0, 4, 16);
        cairo_fill(canvas.cr());
        Pictures::Blur(canvas, 3, edges);
        const int right = CanvasPixel(canvas, 63, 8).r;
        if (edges == Pictures::Edges::Wrap)
            EXPECT_GT(right, 40);
        else
            EXPECT_LT(right, 5);
        EXPECT_EQ(CanvasPixel(canvas, 32, 8).a, 255);
    }
}

TEST(PaintHelpers, BorderFadesBrightenAndLettering)
{
    Canvas sprite(32, 32);
    Pictures::FillVertical(sprite, {{0.0, {1, 1, 1}, 1.0}, {1.0, {1, 1, 1}, 1.0}});
    Pictures::FadeBorder(sprite, 6, false);
    EXPECT_EQ(CanvasPixel(sprite, 0, 10).r, 0);
    EXPECT_EQ(CanvasPixel(sprite, 0, 10).a, 255); // black, still opaque
    EXPECT_EQ(CanvasPixel(sprite, 16, 16).r, 255);
    Pictures::FadeBorder(sprite, 6, true);
    EXPECT_EQ(CanvasPixel(sprite, 31, 31).a, 0);

    Canvas dark(8, 8), bright(8, 8);
    Pictures::FillVertical(dark, {{0.0, {0.2, 0.1, 0.0}, 1.0}, {1.0, {0.2, 0.1, 0.0}, 1.0}});
    Pictures::Brighten(dark, bright, 1.0, 0.5);
    EXPECT_NEAR(CanvasPixel(bright, 4, 4).r, 153, 2); // 0.2 + 0.5 * 0.8
    EXPECT_NEAR(CanvasPixel(bright, 4, 4).b, 128, 2);
    Canvas wrongSize(4, 4);
    EXPECT_THROW(Pictures::Brighten(dark, wrongSize, 1.0, 0.5), std::invalid_argument);

    // Lettering is centred on the point asked for, even when spaced and slanted.
    Canvas text(200, 100);
    Pictures::TextPath(text.cr(), "ruvo", {"DejaVu Sans", true, false}, 40, 120, 60, 8, 0.2);
    double x1, y1, x2, y2;
    cairo_path_extents(text.cr(), &x1, &y1, &x2, &y2);
    EXPECT_NEAR((x1 + x2) / 2, 120, 1.0);
    EXPECT_NEAR((y1 + y2) / 2, 60, 1.0);
    EXPECT_GT(x2 - x1, 100); // four letters plus spacing
}

class OpeningPicturesOnScreen : public TestSupport::GlTest {};

// Every picture goes through the show's own loader, and the loading card,
// drawn as the show draws it, fills the letterbox with the bands left black.
TEST_F(OpeningPicturesOnScreen, LoadThroughTheTextureLoaderAndTheCardFillsTheLetterbox)
{
    const std::string data = TestSupport::BuildDir() + "/data/";
    for (const Expected& expected : kPictures)
        EXPECT_NO_THROW(Drawables::Texture((data + expected.path).c_str(), *graphics, false, true)) << expected.path;

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    Drawables::FullScreenTexture card((data + "loader/loading.png").c_str(), *graphics, false, true);
    graphics->Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(card).Draw(Drawables::Disable(GL_TEXTURE_2D));
    const Image source = Load("loader/loading.png");
    ASSERT_GT(source.width, 0);
    for (int x : {10, 512, 1013}) {
        const TestSupport::Rgba band = TestSupport::ReadPixel(x, 40);
        EXPECT_EQ(band.r + band.g + band.b, 0);
    }
    // Window row pictureTop + 600 y / 512 shows picture row y: compare a few places.
    for (int y : {60, 220, 400})
        for (int x : {100, 512, 900}) {
            const TestSupport::Rgba shown =
                TestSupport::ReadPixel(x, TestSupport::pictureTop + y * TestSupport::pictureHeight / source.height);
            EXPECT_NEAR(shown.g, source.At(x, y)[1], 40) << x << "," << y;
        }
}

} // namespace
