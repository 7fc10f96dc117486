// The particle scene: sprite brightness and size with depth, the repeating
// flower layout, motion, the clap sway and the bass shift of the background.
#include "scenes/ParticleEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

#include <cmath>
#include <cstdlib>

using namespace TestSupport;
using Effects::ParticleEffect;
namespace ParticleState = Effects::ParticleState;

namespace {

class ParticleSceneTest : public SceneTest<ParticleEffect> {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ParticleState::backShift = 0.0f;
        ParticleState::sway = 0.0f;
    }

    void Load(Texel backgroundTexel, Texel flowerTexel, Texel veilTexel)
    {
        data.WriteSolid("data/partikler/baggrund.png", 1024, 512, backgroundTexel);
        data.WriteSolid("data/partikler/blomst.png", 64, 64, flowerTexel);
        data.WriteSolid("data/partikler/sloer.png", 64, 64, veilTexel);
        scene.Init(*graphics);
    }

    // Parks every sprite behind the eye except `shown`, placed at depth z.
    void ShowOnly(int shown, float z)
    {
        for (int i = 0; i < ParticleEffect::particleCount; ++i)
            scene.particleDepth[i] = 100.0f;
        scene.particleDepth[shown] = z;
    }
};

// Screen position of a point in eye space, in window pixels from the top.
void Project(float x, float y, float z, double& column, double& row)
{
    const double tanHalf = std::tan(22.5 * 3.14159265358979 / 180.0);
    column = 512 + (x / -z) / (tanHalf * 1024.0 / 600.0) * 512;
    row = 384 - (y / -z) / tanHalf * 300;
}

} // namespace

TEST_F(ParticleSceneTest, FlowerBrightnessAndSizeFallWithDistance)
{
    Load(blackTexel, whiteTexel, clearTexel);
    // Depth 0: half brightness, 1 unit at 5 units is about 145 pixels wide.
    ShowOnly(1, 0.0f);
    Frame(40000, 0, Demo::SyncNone);
    std::vector<unsigned char> window = ReadWindow();
    EXPECT_NEAR(MaxChannel(window, 1), 128, 1);
    EXPECT_NEAR(CountAbove(window, 1, 64), 145 * 145, 145 * 145 / 8);

    // Depth -20 (25 units away): a quarter of that, a fifth of the size.
    ShowOnly(1, -20.0f);
    Frame(40000, 0, Demo::SyncNone);
    window = ReadWindow();
    EXPECT_NEAR(MaxChannel(window, 1), 32, 1);
    EXPECT_NEAR(CountAbove(window, 1, 16), 29 * 29, 29 * 29 / 4);
}

TEST_F(ParticleSceneTest, VeilCoversBackgroundByItsBrightness)
{
    Load({100, 100, 100, 255}, blackTexel, whiteTexel);
    // b = 0.5: colour and opacity both halved over the grey background.
    ShowOnly(0, 0.0f);
    Frame(40000, 0, Demo::SyncNone);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 114, 114, 114));
    EXPECT_TRUE(Near(ReadPixel(20, 384), 100, 100, 100));

    // Sprite 100 at depth -20: b = 0.125.
    ShowOnly(100, -20.0f);
    Frame(40000, 0, Demo::SyncNone);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 92, 92, 92));
}

TEST_F(ParticleSceneTest, FlowerLayoutIsTheSameOnEveryFrame)
{
    Load(blackTexel, whiteTexel, clearTexel);
    Frame(41000, 0, Demo::SyncNone);
    const std::vector<unsigned char> first = ReadWindow();
    // Someone else drawing random numbers in between must not matter.
    std::srand(12345);
    for (int i = 0; i < 77; ++i)
        std::rand();
    Frame(41000, 0, Demo::SyncNone);
    EXPECT_TRUE(first == ReadWindow());

    // The flowers fill the column around the centre, in all four quadrants.
    int lit[4] = {0, 0, 0, 0};
    for (int y = 284; y < 484; ++y)
        for (int x = 412; x < 612; ++x)
            lit[(y < 384 ? 0 : 2) + (x < 512 ? 0 : 1)] += PixelAt(first, x, y)[0] > 0 ? 1 : 0;
    for (int quadrant = 0; quadrant < 4; ++quadrant)
        EXPECT_GT(lit[quadrant], 2000) << "quadrant " << quadrant;
}

TEST_F(ParticleSceneTest, SpritesMoveFiveUnitsPerSecondExceptOnStalls)
{
    Load(blackTexel, whiteTexel, clearTexel);
    Frame(40000, 16, Demo::SyncNone);
    EXPECT_FLOAT_EQ(scene.particleDepth[0], 0.08f);
    EXPECT_FLOAT_EQ(scene.particleDepth[500], -100.0f + 0.08f);

    const std::vector<float> before(scene.particleDepth.get(), scene.particleDepth.get() + 1000);
    Frame(42000, 2000, Demo::SyncNone);
    Frame(42016, 0xFFFFFF00u, Demo::SyncNone);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), scene.particleDepth.get()));

    Frame(44015, 1999, Demo::SyncNone);
    EXPECT_NEAR(scene.particleDepth[999], before[999] + 9.995f, 1e-4f);
}

TEST_F(ParticleSceneTest, ClapSwaysTheColumn)
{
    Load(blackTexel, blackTexel, whiteTexel);
    ShowOnly(0, 0.0f);
    Frame(40000, 5, Demo::SyncClap);
    EXPECT_FLOAT_EQ(ParticleState::sway, 1.25f);
    Frame(40005, 5, Demo::SyncNone);
    EXPECT_FLOAT_EQ(ParticleState::sway, 0.5f);

    // The veil's centre sits at (0.5 sin w, 0.5 cos w) in front of the eye.
    const double w = 40005 * 0.005;
    double column = 0, row = 0;
    Project(static_cast<float>(0.5 * std::sin(w)), static_cast<float>(0.5 * std::cos(w)), -4.975f, column, row);
    const std::vector<unsigned char> window = ReadWindow();
    double sumX = 0, sumY = 0, count = 0;
    for (int y = pictureTop; y <= pictureBottom; ++y)
        for (int x = 0; x < 1024; ++x)
            if (PixelAt(window, x, y)[0] > 32) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                count += 1;
            }
    ASSERT_GT(count, 0);
    EXPECT_NEAR(sumX / count, column, 2.0);
    EXPECT_NEAR(sumY / count, row, 2.0);

    Frame(40010, 5, Demo::SyncNone);
    EXPECT_EQ(ParticleState::sway, 0.0f);
    // A clap in a 16 ms frame is spent within that frame.
    Frame(40026, 16, Demo::SyncClap);
    EXPECT_EQ(ParticleState::sway, 0.0f);
}

TEST_F(ParticleSceneTest, BassDropsBackgroundWhichSlidesBackIn200Ms)
{
    Load({90, 90, 90, 255}, blackTexel, clearTexel);
    Frame(40000, 16, Demo::SyncBass);
    EXPECT_FLOAT_EQ(ParticleState::backShift, 92.0f);
    // The picture's first row blends with the clamped border; look one row in.
    EXPECT_TRUE(Near(ReadPixel(20, pictureTop + 91), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(20, pictureTop + 93), 90, 90, 90));

    for (unsigned t = 40016; t < 40200; t += 16)
        Frame(t, 16, Demo::SyncNone);
    EXPECT_EQ(ParticleState::backShift, 0.0f);
    EXPECT_TRUE(Near(ReadPixel(20, pictureTop + 1), 90, 90, 90));
}

TEST_F(ParticleSceneTest, NearFlowersLeaveTheDistantOnesTheirMipmaps)
{
    // A flower of one-texel checks: seen from afar, its mipmaps blend it to
    // an even grey; sampled from its full-size picture alone it breaks into
    // a pattern of bright and dark pixels that shimmers as it moves.
    data.WriteSolid("data/partikler/baggrund.png", 1024, 512, blackTexel);
    data.WriteSolid("data/partikler/sloer.png", 64, 64, clearTexel);
    data.WritePicture("data/partikler/blomst.png", 64, 64,
                      [](int x, int y) { return (x + y) % 2 ? whiteTexel : blackTexel; });
    scene.Init(*graphics);

    // Sprite 150, after the first veil, 20 units away (b = 1/6: the mean
    // grey is 21 levels, the checks' full contrast 42).
    const int distant = 150;
    ShowOnly(distant, -15.0f);
    Frame(40000, 0, Demo::SyncNone);
    const std::vector<unsigned char> alone = ReadWindow();
    EXPECT_GT(CountAbove(alone, 1, 10), 200) << "the distant flower is drawn";
    EXPECT_LE(MaxChannel(alone, 1), 23) << "the distant flower is an even grey";

    // With sprite 1 right in front of the eye, magnified: such flowers are
    // drawn, with their own filter, at the end of their run (at veil 100).
    ShowOnly(distant, -15.0f);
    scene.particleDepth[1] = 0.0f;
    Frame(40000, 0, Demo::SyncNone);
    EXPECT_GT(CountAbove(ReadWindow(), 1, 60), 10000) << "the near flower is drawn";

    // The distant flower looks as before, in that frame's sequel and later.
    ShowOnly(distant, -15.0f);
    Frame(40000, 0, Demo::SyncNone);
    const std::vector<unsigned char> after = ReadWindow();
    EXPECT_LE(MaxChannel(after, 1), 23) << "the distant flower lost its mipmaps";
    EXPECT_TRUE(after == alone);
}
