// The drink scene: the drink rising through the picture, the bass flash and
// the claps after 83 s lowering it for good.
#include "scenes/DrinkEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

using namespace TestSupport;
namespace DrinkState = Effects::DrinkState;

namespace {

class DrinkSceneTest : public SceneTest<Effects::DrinkEffect> {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        DrinkState::flashLevel = 0.0f;
        DrinkState::drinkSink = 0.0f;
        // A white drink and a blue flash: their sum shows both weights.
        data.WriteSolid("data/drink/caipirinha.png", 64, 256, {255, 255, 255, 255});
        data.WriteSolid("data/drink/flash.png", 1024, 512, {0, 0, 200, 255});
        scene.Init(*graphics);
    }
};

// First row of the middle column that the drink reaches, from the top.
int DrinkTopRow()
{
    const std::vector<unsigned char> window = ReadWindow();
    for (int y = pictureTop; y <= pictureBottom; ++y)
        if (PixelAt(window, 512, y)[0] > 128)
            return y;
    return pictureBottom + 1;
}

} // namespace

TEST_F(DrinkSceneTest, DrinkRisesFromBelowThroughTheMiddle)
{
    Frame(80000, 16, Demo::SyncNone);
    EXPECT_EQ(MaxChannel(ReadWindow(), 0), 0);
    // At 85.25 s the top edge (y = 0) crosses the middle row.
    Frame(85250, 16, Demo::SyncNone);
    EXPECT_NEAR(DrinkTopRow(), 384, 1);
    // At 101 s it stands centred, 1 unit wide at 1 unit: columns 150 to 874.
    Frame(101000, 16, Demo::SyncNone);
    EXPECT_EQ(DrinkTopRow(), pictureTop);
    EXPECT_TRUE(Near(ReadPixel(145, 384), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(155, 384), 255, 255, 255));
    EXPECT_TRUE(Near(ReadPixel(870, pictureBottom), 255, 255, 255));
    EXPECT_TRUE(Near(ReadPixel(880, 384), 0, 0, 0, 0));
}

TEST_F(DrinkSceneTest, OnlyClapsAfter83SecondsSinkTheDrink)
{
    Frame(83000, 16, Demo::SyncClap);
    EXPECT_EQ(DrinkState::drinkSink, 0.0f);
    Frame(85250, 16, Demo::SyncNone);
    EXPECT_NEAR(DrinkTopRow(), 384, 1);

    Frame(83001, 16, Demo::SyncClap);
    EXPECT_FLOAT_EQ(DrinkState::drinkSink, -0.1f);
    // 0.1 units lower is 72 rows lower one unit away.
    Frame(85250, 16, Demo::SyncNone);
    EXPECT_NEAR(DrinkTopRow(), 456, 1);
}

TEST_F(DrinkSceneTest, TenClapsSetTheDrinkBack10500Ms)
{
    Frame(84500, 16, Demo::SyncNone);
    const int unsunk = DrinkTopRow();
    for (unsigned t = 90000; t < 90100; t += 10)
        Frame(t, 10, Demo::SyncClap);
    EXPECT_NEAR(DrinkState::drinkSink, -1.0f, 1e-5f);
    Frame(95000, 16, Demo::SyncNone);
    EXPECT_NEAR(DrinkTopRow(), unsunk, 1);
}

TEST_F(DrinkSceneTest, BassSwapsDrinkForFlashFor100Ms)
{
    Frame(90000, 25, Demo::SyncBass);
    EXPECT_EQ(DrinkState::flashLevel, 1.0f);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 0, 0, 200));
    Frame(90025, 25, Demo::SyncNone);
    Frame(90050, 25, Demo::SyncNone);
    EXPECT_FLOAT_EQ(DrinkState::flashLevel, 0.5f);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 128, 128, 228));
    EXPECT_TRUE(Near(ReadPixel(20, 384), 0, 0, 100));
    Frame(90075, 25, Demo::SyncNone);
    Frame(90100, 25, Demo::SyncNone);
    EXPECT_EQ(DrinkState::flashLevel, 0.0f);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 255, 255, 255));
    // A clap neither flashes nor lifts a fading flash.
    Frame(90125, 25, Demo::SyncClap);
    EXPECT_EQ(DrinkState::flashLevel, 0.0f);
}
