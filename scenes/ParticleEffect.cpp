#include "scenes/ParticleEffect.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"

#include <cmath>
#include <cstdlib>

namespace Effects {

namespace ParticleState {
float backShift = 0.0f;
float sway = 0.0f;
} // namespace ParticleState

using namespace Drawables;
using ParticleState::backShift;
using ParticleState::sway;

namespace {

const unsigned layoutSeed = 267250366;

} // namespace

int Random15() { return std::rand() / (RAND_MAX / 32768 + 1); }

void ParticleEffect::Init(Adapter::Graphics& graphics)
{
    flower.reset(new Texture("data/partikler/blomst.png", graphics, true, true));
    background.reset(new FullScreenTexture("data/partikler/baggrund.png", graphics, false, true));
    veil.reset(new Texture("data/partikler/sloer.png", graphics, false, true));
    particleDepth.reset(new float[particleCount]);
    for (int i = 0; i < particleCount; ++i)
        particleDepth[i] = -static_cast<float>(i) / 5.0f;
}

void ParticleEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    const float d = static_cast<float>(delta);
    KickAndDecay(backShift, syncEvent == Demo::SyncBass, 100.0f, d * 0.5);
    KickAndDecay(sway, syncEvent == Demo::SyncClap, 2.0f, d * 0.15);

    background->x = 0;
    background->y = static_cast<int>(backShift);

    // Radians for the wobble, degrees for the turn.
    const double w = time * 0.005;
    const float step = static_cast<float>(d * 0.005);

    graphics.Draw(Enable(GL_TEXTURE_2D))
        .Draw(Color(1.0f, 1.0f, 1.0f, 1.0f))
        .Draw(*background)
        .Draw(PushMatrix())
        .Draw(Translate(static_cast<float>(sway * std::sin(w)), static_cast<float>(sway * std::cos(w)), -5.0f))
        .Draw(Rotate(static_cast<float>(w), 0.0f, 0.0f, 1.0f));
    DrawSprites(graphics, step);
    graphics.Draw(PopMatrix()).Draw(Disable(GL_TEXTURE_2D));
}

void ParticleEffect::DrawSprites(Adapter::Graphics& graphics, float step)
{
    // Same seed every frame: each flower keeps its place in the column.
    std::srand(layoutSeed);
    for (int i = 0; i < particleCount; ++i) {
        const float z = particleDepth[i];
        const float b = z >= -5.0f ? 0.5f : 0.5f * (-5.0f / z);
        if (i % 100 == 0) {
            graphics.Draw(Enable(BLEND_ALPHA))
                .Draw(Color(b, b, b, b))
                .Draw(*veil)
                .Draw(PushMatrix())
                .Draw(Translate(0.0f, 0.0f, z))
                .Draw(Rotate(static_cast<float>(i), 0.0f, 0.0f, 1.0f))
                .Draw(Quad(2.0f, 2.0f))
                .Draw(PopMatrix())
                .Draw(Disable(BLEND_ALPHA));
        } else {
            const int r1 = Random15();
            const int r2 = Random15();
            const float px = r1 / 32767.0f * 3.0f;
            const float py = r2 / 32767.0f * 3.0f;
            graphics.Draw(Enable(GL_BLEND))
                .Draw(*flower)
                .Draw(Color(b, b, b, b))
                .Draw(PushMatrix())
                .Draw(Translate(px - 1.5f, py - 1.5f, z))
                .Draw(Quad(1.0f, 1.0f))
                .Draw(PopMatrix())
                .Draw(Disable(GL_BLEND));
        }
        // A long stall (2 s or more) moves nothing rather than scattering the column.
        if (step < 10.0f)
            particleDepth[i] += step;
    }
}

} // namespace Effects
