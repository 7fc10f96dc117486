#include "scenes/FlatEffect.h"
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "drawables/mesh/DrawObject.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"

#include <cmath>

namespace Effects {

namespace FlatState {
float backShift = 0.0f;
float backFlash = 0.0f;
float frontFlash = 0.0f;
} // namespace FlatState

using namespace Drawables;
using namespace FlatState;

namespace {

const float clapGlow = 0.5f;
const float restingGlow = 0.05f;

FullScreenTexture* LoadLayer(const char* fileName, Adapter::Graphics& graphics)
{
    return new FullScreenTexture(fileName, graphics, false, true);
}

// Unlit and lit versions of one layer, weighted by `lit`.
void DrawLitPair(Medium::IOutputMedium& screen, FullScreenTexture& unlit, FullScreenTexture& litVersion, float lit)
{
    screen.Draw(Color(1 - lit, 1 - lit, 1 - lit, 1 - lit))
        .Draw(unlit)
        .Draw(Color(lit, lit, lit, lit))
        .Draw(litVersion);
}

} // namespace

TubePose PoseOfSlot(const TubeSlot& slot, int number, unsigned time)
{
    TubePose pose;
    pose.angle = static_cast<float>(0.05 * time + 50.0 * number);
    pose.scale = static_cast<float>(5.0 + 3.0 * std::sin(slot.phase + 0.005 * time));
    return pose;
}

float CityCameraZ(unsigned time, float blurStrength)
{
    return static_cast<float>(10.0 * std::cos(0.001 * time) + 5.0 * blurStrength);
}

FlatEffect::FlatEffect() : BlurEffect(true, 0.025f) {}

FlatEffect::~FlatEffect() = default;

void FlatEffect::Init(Adapter::Graphics& graphics)
{
    BlurEffect::Init(graphics);
    tubeSlots.reserve(200);
    for (int i = -100; i < 100; ++i)
        tubeSlots.push_back(TubeSlot{2.0f * i, 0.25f * i});
    cityFront.reset(LoadLayer("data/flat/cityFront.png", graphics));
    cityFrontLight.reset(LoadLayer("data/flat/cityFrontLight.png", graphics));
    cityBack.reset(LoadLayer("data/flat/cityBack.png", graphics));
    cityBackLight.reset(LoadLayer("data/flat/cityBackLight.png", graphics));
}

void FlatEffect::RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent)
{
    const float elapsed = static_cast<float>(delta);
    if (syncEvent == Demo::SyncClap)
        blurStrength = clapGlow;
    else
        blurStrength = blurStrength - 0.05f * elapsed;
    if (!(blurStrength > restingGlow))
        blurStrength = restingGlow;

    // The rings bring their own material; the light keeps its defaults.
    // Without GL_NORMALIZE the Scale below also dims each copy's lighting.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_FLAT);

    target.Draw(Enable(GL_DEPTH_TEST))
        .Draw(PushMatrix())
        .Draw(LookAt(5, 5, CityCameraZ(time, blurStrength), 0, 0, 0, 0, 1, 0));
    // The rings sample the texture left bound at (0, 0): normally the lit
    // front skyline from the previous frame's foreground.
    OBJ::DrawObject ring;
    int number = 1;
    for (const TubeSlot& slot : tubeSlots) {
        const TubePose pose = PoseOfSlot(slot, number++, time);
        target.Draw(PushMatrix())
            .Draw(Translate(0, 0, slot.z))
            .Draw(Scale(pose.scale, pose.scale, pose.scale))
            .Draw(Rotate(pose.angle, 0, 0, 1))
            .Draw(ring)
            .Draw(PopMatrix());
    }
    target.Draw(PopMatrix()).Draw(Disable(GL_DEPTH_TEST));
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
}

void FlatEffect::RenderBackground(Medium::IOutputMedium& screen, unsigned, unsigned delta, int syncEvent)
{
    const float elapsed = static_cast<float>(delta);
    Decay(backShift, 0.5f * elapsed);
    if (syncEvent == Demo::SyncBass) {
        backShift = 100;
        backFlash = 1;
    } else {
        Decay(backFlash, 0.004f * elapsed);
    }

    const int shift = static_cast<int>(backShift);
    cityBack->x = 0;
    cityBack->y = shift;
    cityBackLight->x = 0;
    cityBackLight->y = shift;

    screen.Draw(Enable(GL_TEXTURE_2D)).Draw(Enable(BLEND_ALPHA));
    DrawLitPair(screen, *cityBack, *cityBackLight, backFlash);
    screen.Draw(Color(1, 1, 1, 1)).Draw(Disable(BLEND_ALPHA)).Draw(Disable(GL_TEXTURE_2D));
}

void FlatEffect::RenderForeground(Medium::IOutputMedium& screen, unsigned, unsigned delta, int syncEvent)
{
    if (syncEvent == Demo::SyncClap)
        frontFlash = 1;
    else
        Decay(frontFlash, 0.005f * static_cast<float>(delta));

    // Leaves the lit front skyline bound (the rings of the next frame sample
    // it) and the current colour at frontFlash.
    screen.Draw(Enable(BLEND_ALPHA)).Draw(Enable(GL_TEXTURE_2D));
    DrawLitPair(screen, *cityFront, *cityFrontLight, frontFlash);
    screen.Draw(Disable(GL_TEXTURE_2D)).Draw(Disable(BLEND_ALPHA));
}

} // namespace Effects
