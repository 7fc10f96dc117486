// Fitting the design's 1024:600 picture into an output of any size: as
// large as fits, centred, black bands at the sides or above and below.
#include "graphics/Graphics.h"
#include "graphics/PictureFit.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::array<int, 4> Box(int width, int height)
{
    const Adapter::PictureFit fit(width, height, Adapter::pictureWidth, Adapter::pictureHeight);
    return {fit.box.x, fit.box.y, fit.box.width, fit.box.height};
}

} // namespace

// The screens the README lists: x, y from the lower left, width, height.
TEST(PictureFit, CommonScreens)
{
    EXPECT_EQ(Box(1024, 768), (std::array<int, 4>{0, 84, 1024, 600})) << "the design's own screen";
    EXPECT_EQ(Box(1920, 1080), (std::array<int, 4>{38, 0, 1843, 1080})) << "side bands";
    EXPECT_EQ(Box(1366, 768), (std::array<int, 4>{27, 0, 1311, 768})) << "1310.72 rounds up";
    EXPECT_EQ(Box(1920, 1200), (std::array<int, 4>{0, 37, 1920, 1125})) << "an odd band: the lower one is smaller";
    EXPECT_EQ(Box(2560, 1440), (std::array<int, 4>{51, 0, 2458, 1440}));
    EXPECT_EQ(Box(2560, 1600), (std::array<int, 4>{0, 50, 2560, 1500}));
    EXPECT_EQ(Box(3840, 2160), (std::array<int, 4>{77, 0, 3686, 2160}));
    EXPECT_EQ(Box(1024, 600), (std::array<int, 4>{0, 0, 1024, 600})) << "no bands at all";
    EXPECT_EQ(Box(512, 300), (std::array<int, 4>{0, 0, 512, 300})) << "smaller than the design";
    EXPECT_EQ(Box(1, 1), (std::array<int, 4>{0, 0, 1, 1})) << "never empty";
}

// Any output, odd sizes included: the picture lies inside it, fills it in
// one direction, keeps its shape to the nearest pixel, and has bands equal
// to within a pixel on both sides.
TEST(PictureFit, AnyOutputHoldsTheWholePictureCentred)
{
    for (int width = 1; width <= 4100; width += 13) {
        for (int height = 1; height <= 2300; height += 7) {
            const Adapter::PictureFit fit(width, height, Adapter::pictureWidth, Adapter::pictureHeight);
            const Adapter::PixelBox& box = fit.box;
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            ASSERT_GE(box.width, 1);
            ASSERT_GE(box.height, 1);
            ASSERT_GE(box.x, 0);
            ASSERT_GE(box.y, 0);
            ASSERT_LE(box.x + box.width, width);
            ASSERT_LE(box.y + box.height, height);
            ASSERT_TRUE(box.width == width || box.height == height) << "bands on all four sides";
            ASSERT_LE(std::abs((width - box.x - box.width) - box.x), 1) << "off centre across";
            ASSERT_LE(std::abs((height - box.y - box.height) - box.y), 1) << "off centre up and down";
            // Width and height in the picture's proportion, each to the
            // nearest whole pixel.
            ASSERT_LE(std::abs(box.width * Adapter::pictureHeight - box.height * Adapter::pictureWidth),
                      Adapter::pictureWidth / 2 + Adapter::pictureHeight / 2 + 1);
            ASSERT_EQ(fit.Pixels(Adapter::pictureWidth), box.width);
            ASSERT_EQ(fit.Pixels(Adapter::pictureHeight), box.height);
        }
    }
}

// Lengths in picture units become the nearest whole number of pixels.
TEST(PictureFit, LengthsRoundToTheNearestPixel)
{
    const Adapter::PictureFit fit(1920, 1080, Adapter::pictureWidth, Adapter::pictureHeight); // 1.8 pixels a unit
    EXPECT_DOUBLE_EQ(fit.pixelsPerUnit, 1.8);
    EXPECT_EQ(fit.Pixels(1), 2);
    EXPECT_EQ(fit.Pixels(512), 922); // 921.6
    EXPECT_EQ(fit.Pixels(0.2), 0);
    EXPECT_EQ(fit.Pixels(0), 0);
}
