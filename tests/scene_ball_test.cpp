// The ball scene: the bass throws the ball at the viewer, claps freeze it and
// flash the background, and the veil sits behind the ball without hiding it.
#include "scenes/BallEffects.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

#include <GL/gl.h>

using namespace TestSupport;
namespace BallState = Effects::BallState;

namespace {

const Texel halfWhite = {255, 255, 255, 128};

class BallSceneTest : public SceneTest<Effects::BallEffects> {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        BallState::flashLevel = 0.0f;
        BallState::ballZ = -5.0f;
        BallState::ballMoving = 1.0f;
        BallState::backShift = 0.0f;
    }

    // A red ball over blue, flashing to white.
    void Load(Texel veil)
    {
        data.WriteSolid("data/balls/texture1.png", 64, 64, redTexel);
        data.WriteSolid("data/balls/sloer.png", 64, 64, veil);
        data.WriteSolid("data/balls/baggrund.png", 1024, 512, blueTexel);
        data.WriteSolid("data/balls/flash.png", 1024, 512, whiteTexel);
        scene.Init(*graphics);
    }
};

float DepthAt(int x, int yFromTop)
{
    float depth = 0;
    glReadPixels(x, 767 - yFromTop, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

} // namespace

TEST_F(BallSceneTest, BallRestsAtFiveWhenTheSceneOpens)
{
    Load(clearTexel);
    Frame(66000, 4000, Demo::SyncNone);
    EXPECT_EQ(BallState::ballZ, -5.0f);
    Frame(66016, 0xFFFFFFF0u, Demo::SyncNone);
    EXPECT_EQ(BallState::ballZ, -5.0f);
    EXPECT_EQ(BallState::backShift, 0.0f);
}

TEST_F(BallSceneTest, BassThrowsBallCloseAndItRecedesIn400Ms)
{
    Load(clearTexel);
    Frame(70000, 16, Demo::SyncBass);
    EXPECT_FLOAT_EQ(BallState::ballZ, -1.16f);
    EXPECT_FLOAT_EQ(BallState::backShift, 92.0f);
    // Radius 0.5 at 1.16 units fills about 346 pixels around the centre.
    EXPECT_TRUE(Near(ReadPixel(512, 384), 255, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(212, 384), 255, 0, 0));
    // The background dropped by 92 rows; the flash (weight 0) did not.
    EXPECT_TRUE(Near(ReadPixel(20, pictureTop + 91), 0, 0, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(20, pictureTop + 93), 0, 0, 255));

    // 0.01 units per ms: 3.84 units in the next 384 ms.
    for (unsigned t = 70112; t <= 70400; t += 96)
        Frame(t, 96, Demo::SyncNone);
    EXPECT_NEAR(BallState::ballZ, -5.0f, 1e-4f);
    Frame(70416, 16, Demo::SyncNone);
    EXPECT_EQ(BallState::ballZ, -5.0f);
    // Back at rest it measures about 73 pixels in radius.
    EXPECT_TRUE(Near(ReadPixel(512, 384), 255, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(512 - 100, 384), 0, 0, 255));
    Frame(70432, 16, Demo::SyncNone);
    EXPECT_EQ(BallState::ballZ, -5.0f);
}

TEST_F(BallSceneTest, ClapFreezesBallAndShowsFlashAlone)
{
    Load(clearTexel);
    Frame(70000, 16, Demo::SyncBass);
    for (unsigned t = 70016; t <= 70080; t += 16)
        Frame(t, 16, Demo::SyncNone);
    const float depth = BallState::ballZ;
    EXPECT_NEAR(depth, -1.96f, 1e-5f);

    Frame(70096, 16, Demo::SyncClap);
    EXPECT_EQ(BallState::ballZ, depth);
    EXPECT_EQ(BallState::flashLevel, 1.0f);
    EXPECT_EQ(BallState::ballMoving, 0.0f);
    EXPECT_TRUE(Near(ReadPixel(20, 300), 255, 255, 255));
    EXPECT_TRUE(Near(ReadPixel(512, 384), 255, 0, 0));

    // The flash fades out over 400 ms: a quarter of the way after 100 ms,
    // three quarters white over the blue.
    Frame(70196, 100, Demo::SyncNone);
    EXPECT_TRUE(Near(ReadPixel(20, 300), 191, 191, 255));
    for (unsigned t = 70246; t < 70700; t += 50)
        Frame(t, 50, Demo::SyncNone);
    EXPECT_EQ(BallState::ballZ, depth);
    EXPECT_EQ(BallState::flashLevel, 0.0f);
    EXPECT_TRUE(Near(ReadPixel(20, 300), 0, 0, 255));

    Frame(70700, 16, Demo::SyncBass);
    EXPECT_FLOAT_EQ(BallState::ballZ, -1.16f);
    EXPECT_EQ(BallState::ballMoving, 1.0f);
}

TEST_F(BallSceneTest, VeilBehindBallIsHiddenAndWritesNoDepth)
{
    Load(halfWhite);
    // At 72 s both turns are whole circles: the veil faces the viewer
    // through the ball's centre, 2.5 units square at depth 5.
    Frame(72000, 16, Demo::SyncNone);
    EXPECT_TRUE(Near(ReadPixel(512, 384), 255, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(512 + 120, 384), 128, 128, 255));
    EXPECT_TRUE(Near(ReadPixel(512, 384 - 150), 128, 128, 255));
    EXPECT_TRUE(Near(ReadPixel(512 + 250, 384), 0, 0, 255));
    EXPECT_LT(DepthAt(512, 384), 1.0f);
    EXPECT_EQ(DepthAt(512 + 120, 384), 1.0f);
}
