#include "scenes/BallEffects.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"
#include "scenes/FlashFade.h"

#include <stdexcept>

namespace Effects {

namespace BallState {
float flashLevel = 0.0f;
float ballZ = -5.0f;
float ballMoving = 1.0f;
float backShift = 0.0f;
} // namespace BallState

using namespace Drawables;
using namespace BallState;

void BallEffects::Init(Adapter::Graphics& graphics)
{
    quadric.reset(gluNewQuadric());
    if (!quadric)
        throw std::runtime_error("gluNewQuadric: out of memory");
    ballTexture.reset(new Texture("data/balls/texture1.png", graphics, true, true));
    background.reset(new FullScreenTexture("data/balls/baggrund.png", graphics, false, true));
    flash.reset(new FullScreenTexture("data/balls/flash.png", graphics, false, true));
    veil.reset(new Texture("data/balls/sloer.png", graphics, false, true));
    SampleUnminified(*background, graphics);
    SampleUnminified(*flash, graphics);
    gluQuadricTexture(quadric.get(), GL_TRUE);
}

void BallEffects::UpdateBeat(unsigned delta, int syncEvent)
{
    const double d = static_cast<float>(delta);
    Decay(flashLevel, d * 0.0025);
    if (syncEvent == Demo::SyncClap) {
        // Stops the ball where it is, this frame included.
        flashLevel = 1.0f;
        ballMoving = 0.0f;
    } else if (syncEvent == Demo::SyncBass) {
        ballMoving = 1.0f;
        ballZ = static_cast<float>(-1.0 - d * 0.01);
    } else if (ballMoving != 0.0f) {
        ballZ = static_cast<float>(ballZ - d * 0.01);
    }
    if (ballZ < -5.0f)
        ballZ = -5.0f;
    KickAndDecay(backShift, syncEvent == Demo::SyncBass, 100.0f, d * 0.5);
}

void BallEffects::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    UpdateBeat(delta, syncEvent);
    background->x = 0;
    background->y = static_cast<int>(backShift);

    const float f = flashLevel;
    DrawFlashFade(graphics, *background, *flash, f)
        .Draw(Disable(GL_BLEND))
        .Draw(Enable(GL_DEPTH_TEST))
        .Draw(PushMatrix())
        .Draw(Translate(0, 0, ballZ))
        .Draw(Rotate(static_cast<float>(time * 0.05), 1, 2, 3))
        .Draw(Color(1, 1, 1, 1))
        .Draw(*ballTexture);
    gluSphere(quadric.get(), 0.5, 64, 64);
    // The veil is hidden behind the ball but hides nothing itself.
    glDepthMask(GL_FALSE);
    graphics.Draw(PushMatrix())
        .Draw(Rotate(static_cast<float>((0.5 + 0.5 * f) * (time * 0.01)), 1, 0, 0))
        .Draw(Enable(BLEND_ALPHA))
        .Draw(*veil)
        .Draw(Quad(2.5f, 2.5f))
        .Draw(Disable(BLEND_ALPHA))
        .Draw(PopMatrix());
    glDepthMask(GL_TRUE);
    graphics.Draw(PopMatrix()).Draw(Disable(GL_DEPTH_TEST)).Draw(Disable(GL_TEXTURE_2D));
}

} // namespace Effects
