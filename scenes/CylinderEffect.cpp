#include "scenes/CylinderEffect.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"
#include "scenes/FlashFade.h"

#include <cmath>

namespace Effects {

namespace CylinderState {
Drawables::Texture* currentTubeTexture = nullptr;
float backShift = 0.0f;
float flashLevel = 0.0f;
} // namespace CylinderState

using namespace Drawables;
using CylinderState::backShift;
using CylinderState::currentTubeTexture;
using CylinderState::flashLevel;

namespace {

const float pi = 3.1415927f;

// Sine of an argument first rounded to single precision.
double SinF(double argument) { return std::sin(static_cast<float>(argument)); }

GLushort TubeIndex(int ring, int segment)
{
    return static_cast<GLushort>(ring * (CylinderEffect::tubeSegments + 1) + segment);
}

} // namespace

void CylinderEffect::Init(Adapter::Graphics& graphics)
{
    ringCentre.reset(new float[ringCount]);
    ringRadius.reset(new float[ringCount]);
    ringShift.reset(new float[ringCount]);
    tubePoints.reset(new TubePoint[tubeVertexCount]);
    tubeCorners.reset(new GLushort[tubeCornerCount]);
    // Each quad runs (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1).
    GLushort* corner = tubeCorners.get();
    for (int i = 0; i < tubeRings; ++i) {
        for (int j = 0; j < tubeSegments; ++j) {
            *corner++ = TubeIndex(i, j);
            *corner++ = TubeIndex(i + 1, j);
            *corner++ = TubeIndex(i + 1, j + 1);
            *corner++ = TubeIndex(i, j + 1);
        }
    }
    UpdateRings(0.0f);
    tubeTextureA.reset(new Texture("data/cylinder/texture2.png", graphics, true, true));
    tubeTextureB.reset(new Texture("data/cylinder/texture3.png", graphics, true, true));
    background.reset(new FullScreenTexture("data/cylinder/baggrund.png", graphics, false, true));
    flash.reset(new FullScreenTexture("data/cylinder/flash.png", graphics, false, true));
    SampleUnminified(*background, graphics);
    SampleUnminified(*flash, graphics);
    slider.reset(new Texture("data/cylinder/slider.png", graphics, false, true));
}

void CylinderEffect::UpdateRings(float phase)
{
    const double x = phase;
    for (int i = 0; i < ringCount; ++i) {
        const double f = static_cast<float>(i);
        ringShift[i] = static_cast<float>(0.35 * SinF(f / 12 + 0.78 * x) + 0.35 * SinF(f / 18 - 1.23 * x));
        ringRadius[i] = static_cast<float>(1 + 0.4 * SinF(f / 8 + x) + 0.5 * SinF(f / 3 - 0.8 * x));
        ringCentre[i] = static_cast<float>(0.25 * SinF(f / 5 + 1.23 * x) + 0.3 * std::sin(f / 6 + 0.9 * x));
    }
    UpdateTubePoints();
}

void CylinderEffect::UpdateTubePoints()
{
    for (int ring = 0; ring <= tubeRings; ++ring) {
        const float v = ring * 5.5f / tubeRings;
        const float radius = 0.7f * ringRadius[ring];
        for (int segment = 0; segment <= tubeSegments; ++segment) {
            const float angle = 2.0f * pi * segment / tubeSegments;
            TubePoint& point = tubePoints[TubeIndex(ring, segment)];
            point.s = ringShift[ring] + 4.0f * segment / tubeSegments;
            point.t = v;
            point.x = ringCentre[ring] + radius * std::cos(angle);
            point.y = v;
            point.z = radius * std::sin(angle);
        }
    }
}

// From arrays in one call rather than vertex by vertex: in immediate mode
// the driver's vertex buffer wraps wherever earlier draws of the frame left
// it, and the tube's pixels came out differently with it.
void CylinderEffect::DrawTube()
{
    const GLsizei stride = sizeof(TubePoint);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, &tubePoints[0].s);
    glVertexPointer(3, GL_FLOAT, stride, &tubePoints[0].x);
    glDrawElements(GL_QUADS, tubeCornerCount, GL_UNSIGNED_SHORT, tubeCorners.get());
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void CylinderEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    // Unset only before the first frame.
    if (!currentTubeTexture)
        currentTubeTexture = tubeTextureA.get();
    UpdateRings(static_cast<float>(time * 0.005));

    const double d = static_cast<float>(delta);
    const bool bass = syncEvent == Demo::SyncBass;
    if (bass)
        currentTubeTexture = currentTubeTexture == tubeTextureA.get() ? tubeTextureB.get() : tubeTextureA.get();
    KickAndDecay(backShift, bass, 100.0f, d * 0.5);
    // The flash decays before a clap can set it, so a clap frame shows it at full weight.
    Decay(flashLevel, d * 0.0025);
    if (syncEvent == Demo::SyncClap)
        flashLevel = 1.0f;

    background->x = flash->x = 0;
    background->y = flash->y = static_cast<int>(backShift);

    DrawFlashFade(graphics, *background, *flash, flashLevel)
        .Draw(Color(1, 1, 1, 1))
        .Draw(Disable(GL_BLEND))
        .Draw(PushMatrix())
        .Draw(Scale(2, 1, 1))
        .Draw(Translate(3, 0, -5))
        .Draw(Rotate(90, 0, 0, 1))
        .Draw(Disable(GL_TEXTURE_2D))
        .Draw(Color(0, 0, 0, 0))
        .Draw(PushMatrix())
        .Draw(Scale(1.1f, 1.1f, 1.1f));
    // The outline is one flat colour drawn without depth: the faces turned
    // toward the eye cover the same pixels as all of them, the tube being
    // closed wherever it is in view.
    graphics.Draw(Enable(GL_CULL_FACE));
    DrawTube();
    graphics.Draw(Disable(GL_CULL_FACE))
        .Draw(PopMatrix())
        .Draw(Color(1, 1, 1, 1))
        .Draw(Enable(GL_TEXTURE_2D))
        .Draw(*currentTubeTexture)
        .Draw(Enable(GL_DEPTH_TEST))
        .Draw(Enable(GL_FOG))
        .Draw(Fog(0, 0, 0, 0, 4, backShift + 6));
    DrawTube();
    const float sliderX = 2.0f - 2.0f * static_cast<float>(time - 52000u) * 0.00007142857f;
    graphics.Draw(Disable(GL_FOG))
        .Draw(PopMatrix())
        .Draw(Disable(GL_DEPTH_TEST))
        .Draw(Color(1, 1, 1, 1))
        .Draw(Enable(BLEND_ALPHA))
        .Draw(PushMatrix())
        .Draw(Translate(sliderX, 0.07f, -1))
        .Draw(*slider)
        .Draw(Quad(3, 1))
        .Draw(PopMatrix())
        .Draw(Disable(BLEND_ALPHA))
        .Draw(Disable(GL_TEXTURE_2D));
}

} // namespace Effects
