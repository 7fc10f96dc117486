// Every scene of the timeline, with the show's own pictures, hands on the GL
// state that every scene may assume when it starts. A scene that leaves, say,
// face culling on after its last frame passes its own tests and still
// spoils the next scene in continuous play (half of a sprite or of a ring
// goes missing), so each scene is checked right after each of its frames,
// with and without beats, from its first frame to its last.
#include "runtime/ITimingElement.h"
#include "tests/support/GlTest.h"
#include "tests/support/SceneChecks.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace TestSupport;

namespace {

std::vector<float> ProjectionMatrix()
{
    std::vector<float> m(16);
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

struct Step {
    unsigned time;
    int syncEvent;
};

// Frames of a scene playing from `start` to `end`: the first frames (one
// with a bass, one with a clap), one in the middle, the last.
std::vector<Step> StepsThrough(unsigned start, unsigned end)
{
    const unsigned middle = start + (end - start) / 2;
    return {{start, Demo::SyncNone},       {start + 16, Demo::SyncBass}, {start + 32, Demo::SyncClap},
            {middle, Demo::SyncNone},      {middle + 16, Demo::SyncBass}, {end - 16, Demo::SyncClap},
            {end, Demo::SyncNone}};
}

} // namespace

TEST(SceneState, EverySceneHandsOnTheStateTheNextMayAssume)
{
    // The show's pictures, so that every scene takes the paths it takes in play.
    ASSERT_EQ(chdir(BuildDir().c_str()), 0);
    ScriptedShow show(ScriptedShow::WholeTimeline);
    show.session.Load();
    const std::vector<float> letterbox = ProjectionMatrix();
    ExpectStateHandedOn();

    int scenes = 0;
    for (auto& entry : show.player->effects) {
        const auto* window = dynamic_cast<Demo::StartEndTiming*>(entry.first);
        if (!window)
            continue; // the clear scene, under all others
        ++scenes;
        for (const Step& step : StepsThrough(window->start, window->end)) {
            SCOPED_TRACE("scene " + std::to_string(scenes) + " (from " + std::to_string(window->start) +
                         " ms) at " + std::to_string(step.time) + " ms, beat " + std::to_string(step.syncEvent));
            ClearPicture();
            entry.second->Render(*show.graphics, step.time, 16, step.syncEvent);
            ExpectStateHandedOn();
            EXPECT_TRUE(IsIdentity(ModelviewMatrix()));
            EXPECT_EQ(ProjectionMatrix(), letterbox) << "letterbox projection";
        }
    }
    EXPECT_EQ(scenes, 8);
}
