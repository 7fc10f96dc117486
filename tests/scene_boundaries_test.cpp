// The opening scenes on the real timeline: at each hand-over both
// neighbouring scenes render in the same frame, the earlier one first.
#include "scenes/BallEffects.h"
#include "scenes/CylinderEffect.h"
#include "scenes/DrinkEffect.h"
#include "scenes/LogoEffect.h"
#include "scenes/ParticleEffect.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"
#include "tests/support/TestData.h"

#include <string>
#include <vector>

using namespace TestSupport;

namespace {

// Notes which timeline entries render in a frame, then lets the scene draw.
class RecordingEffect : public Demo::IEffect {
public:
    RecordingEffect(Demo::IEffect* scene, int index, std::vector<int>& rendered)
        : scene(scene), index(index), rendered(rendered)
    {
    }
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override
    {
        rendered.push_back(index);
        scene->Render(graphics, time, delta, syncEvent);
    }

private:
    Demo::IEffect* scene;
    int index;
    std::vector<int>& rendered;
};

// Pictures of the other scenes, all black.
const char* const otherPictures[] = {
    "data/loader/loading.png",     "data/logo/logo.png",           "data/cylinder/texture2.png",
    "data/cylinder/texture3.png",  "data/cylinder/baggrund.png",   "data/cylinder/flash.png",
    "data/balls/texture1.png",     "data/balls/flash.png",         "data/drink/caipirinha.png",
    "data/flat/cityBack.png",      "data/flat/cityBackLight.png",  "data/flat/cityFront.png",
    "data/flat/cityFrontLight.png", "data/kasser/baggrund.png",    "data/kasser/baggrund-inv.png",
    "data/kasser/flash.png",       "data/kasser/kasse1.png",       "data/kasser/kasse2.png",
    "data/kasser/kasse3.png",      "data/end/baggrund.png",        "data/end/text.png",
};

// The scenes' beat state as the program starts, for runs of several tests
// in one process.
void ResetSceneState()
{
    using namespace Effects;
    LogoState::logoPulse = 1.0f;
    ParticleState::backShift = ParticleState::sway = 0.0f;
    CylinderState::currentTubeTexture = nullptr;
    CylinderState::backShift = CylinderState::flashLevel = 0.0f;
    BallState::flashLevel = BallState::backShift = 0.0f;
    BallState::ballZ = -5.0f;
    BallState::ballMoving = 1.0f;
    DrinkState::flashLevel = DrinkState::drinkSink = 0.0f;
}

class BoundariesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        // Backgrounds in known colours; sprites that add or cover nothing.
        for (const char* path : otherPictures)
            data.WriteSolid(path, 64, 64, {0, 0, 0, 255});
        for (int k = 1; k <= 14; ++k)
            data.WriteSolid("data/kasser/greetings" + std::to_string(k) + ".png", 64, 64, {0, 0, 0, 255});
        data.WriteSolid("data/logo/baggrund.png", 1024, 512, {250, 0, 0, 255});
        data.WriteSolid("data/partikler/baggrund.png", 1024, 512, {0, 200, 0, 255});
        data.WriteSolid("data/partikler/blomst.png", 64, 64, {0, 0, 0, 255});
        for (const char* veil : {"data/partikler/sloer.png", "data/balls/sloer.png", "data/cylinder/slider.png"})
            data.WriteSolid(veil, 64, 64, {0, 0, 0, 0});
        data.WriteSolid("data/balls/baggrund.png", 1024, 512, {0, 0, 120, 255});
        data.WriteSolid("data/drink/flash.png", 1024, 512, {100, 0, 0, 255});
        const std::string header = "bass\nmarks\nstart end\n--\n";
        data.WriteText("data/bass.txt", header + "1 00:00:37.000 00:00:37.050\n2 00:00:52.000 00:00:52.050\n"
                                                 "3 00:01:06.000 00:01:06.050\n4 00:01:20.000 00:01:20.050\n");
        data.WriteText("data/claps.txt", header);
        data.WriteText("data/sound.mp3", "");

        show.reset(new ScriptedShow(ScriptedShow::WholeTimeline));
        show->session.Load();
        show->session.StartMusic(0);
        auto& effects = show->player->effects;
        for (size_t i = 0; i < effects.size(); ++i) {
            recorders.emplace_back(new RecordingEffect(effects[i].second, static_cast<int>(i), rendered));
            effects[i].second = recorders.back().get();
        }
    }

    void TearDown() override { show.reset(); }

    // Timeline entries rendered in the frame of `time`, 16 ms after the last.
    std::vector<int> Frame(unsigned time)
    {
        rendered.clear();
        show->player->Start(time, 16);
        show->Frame(time);
        return rendered;
    }

    TestData data;
    std::unique_ptr<ScriptedShow> show;
    std::vector<int> rendered;
    std::vector<std::unique_ptr<RecordingEffect>> recorders;
};

} // namespace

TEST_F(BoundariesTest, BothNeighboursRenderAtEachHandOverEarlierFirst)
{
    // Entry 0 is the clear scene; 1 logo, 2 particles, 3 cylinder, 4 ball, 5 drink.
    const unsigned handOvers[] = {37000, 52000, 66000, 80000};
    for (int k = 0; k < 4; ++k) {
        const unsigned at = handOvers[k];
        SCOPED_TRACE(at);
        EXPECT_EQ(Frame(at - 1), (std::vector<int>{0, k + 1}));
        EXPECT_EQ(Frame(at), (std::vector<int>{0, k + 1, k + 2}));
        EXPECT_EQ(Frame(at + 1), (std::vector<int>{0, k + 2}));
    }
}

TEST_F(BoundariesTest, HandOverFrameShowsLogoUnderDroppedParticleBackground)
{
    Frame(36984);
    // The bass mark at 37 s reaches both scenes: the logo's background dims
    // to 0.16 and the particles' background drops 92 rows, uncovering it.
    Frame(37000);
    EXPECT_NEAR(Effects::LogoState::logoPulse, 0.16f, 1e-6f);
    EXPECT_FLOAT_EQ(Effects::ParticleState::backShift, 92.0f);
    EXPECT_TRUE(Near(ReadPixel(20, 120), 40, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(20, 300), 0, 200, 0));
}

TEST_F(BoundariesTest, HandOverFrameAddsDrinkFlashOverBallPicture)
{
    for (unsigned t : {37000u, 52000u, 66000u, 79984u})
        Frame(t);
    // The bass at 80 s drops the ball's background and flashes the drink's.
    Frame(80000);
    EXPECT_TRUE(Near(ReadPixel(20, 120), 100, 0, 0));
    EXPECT_TRUE(Near(ReadPixel(20, 300), 100, 0, 120));
}

TEST_F(BoundariesTest, OpeningScenesHandOnCleanStateToTheFrame)
{
    // Bass marks fall on the hand-overs, so both beat paths are covered.
    for (unsigned t : {5000u, 37000u, 45000u, 52000u, 60000u, 66000u, 72000u, 80000u, 100000u}) {
        SCOPED_TRACE(t);
        Frame(t);
        ExpectStateHandedOn();
        EXPECT_TRUE(IsIdentity(ModelviewMatrix()));
    }
}

