// The city leaves out the rings its camera cannot see. That may never show:
// at any time, its frame must equal, pixel for pixel, the frame drawn with
// every one of the 200 rings. The camera swings along the row
// with the music, so a ring wrongly judged off screen at one time is on
// screen at another: the times below take the eye on both sides of the row's
// middle, near and far from it.
#include "drawables/Drawables.h"
#include "drawables/mesh/DrawObject.h"
#include "render/BackBuffer.h"
#include "scenes/FlatEffect.h"
#include "tests/support/GlTest.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace TestSupport;
namespace FlatState = Effects::FlatState;

namespace {

// The city, able to draw every ring of the row instead of those it judges
// visible. It still runs its own RenderScene first, so the glow strength and
// the camera follow the same beats and times; the reference then draws the
// whole row over a fresh capture.
class EveryRingCity : public Effects::FlatEffect {
public:
    bool everyRing = false;

    void Init(Adapter::Graphics& graphics) override
    {
        FlatEffect::Init(graphics);
        ringList = glGenLists(1);
        glNewList(ringList, GL_COMPILE);
        OBJ::DrawMesh();
        glEndList();
    }

    void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent) override
    {
        using namespace Drawables;
        FlatEffect::RenderScene(target, time, delta, syncEvent);
        if (!everyRing)
            return;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        target.Draw(Enable(GL_DEPTH_TEST))
            .Draw(PushMatrix())
            .Draw(LookAt(5, 5, Effects::CityCameraZ(time, blurStrength), 0, 0, 0, 0, 1, 0));
        for (size_t i = 0; i < tubeSlots.size(); ++i) {
            const Effects::TubePose pose = Effects::PoseOfSlot(tubeSlots[i], static_cast<int>(i) + 1, time);
            target.Draw(PushMatrix())
                .Draw(Translate(0, 0, tubeSlots[i].z))
                .Draw(Scale(pose.scale, pose.scale, pose.scale))
                .Draw(Rotate(pose.angle, 0, 0, 1));
            glCallList(ringList);
            target.Draw(PopMatrix());
        }
        target.Draw(PopMatrix()).Draw(Disable(GL_DEPTH_TEST));
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHTING);
    }

private:
    GLuint ringList = 0;
};

class CityRingCulling : public GlTest {
protected:
    void SetUp() override
    {
        // The show's own pictures: the rings take their colour from the lit
        // front skyline.
        ASSERT_EQ(chdir(BuildDir().c_str()), 0);
        GlTest::SetUp();
        scene.Init(*graphics);
    }

    // The frame of `time`, after one frame 16 ms before it (which leaves the
    // texture bound that the rings sample), from the scene's initial state.
    std::vector<unsigned char> FrameAt(unsigned time, bool everyRing)
    {
        FlatState::backShift = FlatState::backFlash = FlatState::frontFlash = 0;
        scene.blurStrength = 0;
        scene.everyRing = everyRing;
        for (unsigned t : {time - 16, time}) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene.Render(*graphics, t, 16, 0);
        }
        std::vector<unsigned char> pixels;
        Render::ReadFrame(pixels);
        return pixels;
    }

    EveryRingCity scene;
};

} // namespace

TEST_F(CityRingCulling, FramesEqualThoseDrawnWithEveryRing)
{
    for (unsigned time : {123000u, 127300u, 131000u, 134500u, 138100u, 141700u}) {
        SCOPED_TRACE(time);
        const std::vector<unsigned char> culled = FrameAt(time, false);
        const std::vector<unsigned char> every = FrameAt(time, true);
        ASSERT_EQ(culled.size(), every.size());
        int differing = 0, largest = 0;
        for (size_t i = 0; i < culled.size(); i += 4) {
            int most = 0;
            for (int channel = 0; channel < 3; ++channel)
                most = std::max(most, std::abs(culled[i + channel] - every[i + channel]));
            differing += most > 0 ? 1 : 0;
            largest = std::max(largest, most);
        }
        EXPECT_EQ(differing, 0) << "pixels differ from the frame with every ring, by up to " << largest
                                << " levels";
    }
}
