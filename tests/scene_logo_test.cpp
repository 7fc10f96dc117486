// The opening logo scene: fade-in, slide, bass pulse, and the state it hands on.
#include "scenes/LogoEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

using namespace TestSupport;
using Effects::LogoState::logoPulse;

namespace {

// Background (120, 60, 30) and a grey logo (100): sums stay below saturation.
class LogoSceneTest : public SceneTest<Effects::LogoEffect> {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        data.WriteSolid("data/logo/baggrund.png", 1024, 512, {120, 60, 30, 255});
        data.WriteSolid("data/logo/logo.png", 256, 128, {100, 100, 100, 255});
        scene.Init(*graphics);
        logoPulse = 1.0f;
    }
};

// Rows 100 to 140 lie above the logo at any pulse; row 384 is the centre.
const int aboveLogo = 120;
const int centreRow = 384;

} // namespace

TEST_F(LogoSceneTest, FirstFrameIsBlack)
{
    Frame(0, 0, Demo::SyncNone);
    EXPECT_EQ(logoPulse, 0.0f);
    EXPECT_EQ(scene.background->x, 1024);
    const std::vector<unsigned char> window = ReadWindow();
    EXPECT_EQ(MaxChannel(window, 0), 0);
    EXPECT_EQ(MaxChannel(window, 1), 0);
}

TEST_F(LogoSceneTest, HalfwayThroughFadeBackgroundIsHalfBrightFromColumn885)
{
    Frame(5000, 16, Demo::SyncNone);
    EXPECT_FLOAT_EQ(logoPulse, 0.5f);
    EXPECT_EQ(scene.background->x, 885);
    EXPECT_TRUE(Near(ReadPixel(884, aboveLogo), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(885, aboveLogo), 60, 30, 15));
    EXPECT_TRUE(Near(ReadPixel(1023, aboveLogo), 60, 30, 15));
    EXPECT_TRUE(Near(ReadPixel(0, aboveLogo), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(400, aboveLogo), 0, 0, 0, 0));
    // The logo adds a quarter of its texels over the black left part.
    EXPECT_TRUE(Near(ReadPixel(512, centreRow), 25, 25, 25));
}

TEST_F(LogoSceneTest, OpeningFadeWinsOverBassAndCarriesIntoNextFrame)
{
    Frame(6000, 20, Demo::SyncBass);
    EXPECT_FLOAT_EQ(logoPulse, 0.6f);
    Frame(9990, 10, Demo::SyncNone);
    EXPECT_FLOAT_EQ(logoPulse, 0.999f);
    // From ten seconds on the pulse recovers from where the fade left it.
    Frame(10000, 0, Demo::SyncNone);
    EXPECT_FLOAT_EQ(logoPulse, 0.999f);
}

TEST_F(LogoSceneTest, BassKnocksPulseDownAndItRecoversIn100Ms)
{
    Frame(12000, 20, Demo::SyncBass);
    EXPECT_NEAR(logoPulse, 0.2f, 1e-6f);
    // The background starts at column 691 here, dimmed to a fifth.
    EXPECT_TRUE(Near(ReadPixel(800, aboveLogo), 24, 12, 6));
    // A shrunken logo leaves row 184 dark at the centre.
    EXPECT_TRUE(Near(ReadPixel(512, 184), 0, 0, 0, 0));

    for (unsigned t = 12020; t <= 12080; t += 20)
        Frame(t, 20, Demo::SyncNone);
    EXPECT_NEAR(logoPulse, 1.0f, 1e-5f);
    Frame(12100, 20, Demo::SyncNone);
    EXPECT_EQ(logoPulse, 1.0f);
    EXPECT_TRUE(Near(ReadPixel(800, aboveLogo), 120, 60, 30));
    // The full-size logo reaches row 184 again, at 0.6 of its strength.
    EXPECT_TRUE(Near(ReadPixel(512, 184), 61, 61, 61));
}

TEST_F(LogoSceneTest, HugeDeltaClampsPulseToOne)
{
    logoPulse = 0.3f;
    Frame(15000, 0xFFFFFFF0u, Demo::SyncNone);
    EXPECT_EQ(logoPulse, 1.0f);
    Frame(15016, 0xFFFFFFF0u, Demo::SyncBass);
    EXPECT_EQ(logoPulse, 1.0f);
}

TEST_F(LogoSceneTest, FullStrengthLogoOverBackgroundAfterTwentySeconds)
{
    Frame(25000, 16, Demo::SyncNone);
    EXPECT_EQ(scene.background->x, 332);
    EXPECT_TRUE(Near(ReadPixel(512, centreRow), 220, 160, 130));
    EXPECT_TRUE(Near(ReadPixel(331, aboveLogo), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(340, aboveLogo), 120, 60, 30));
    // Logo 2 x 1 units at 1.5: about 966 x 483 pixels around the centre.
    EXPECT_TRUE(Near(ReadPixel(40, centreRow), 100, 100, 100));
    EXPECT_TRUE(Near(ReadPixel(512, 150), 220, 160, 130));
    EXPECT_TRUE(Near(ReadPixel(512, 136), 120, 60, 30));
}
