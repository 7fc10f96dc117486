#include "scenes/ParticleEffect.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"
#include "scenes/Layers.h"
#include "scenes/LayoutSeed.h"

#include <algorithm>
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

// The column's frame lies this far in front of the eye.
const float columnDistance = 5.0f;
const double fieldOfViewY = Adapter::perspectiveFovY;
// A flower counts as magnified a little before a texel spans a whole pixel,
// against rounding in the rasteriser's level of detail.
const double magnifiedBelow = 0.98;

} // namespace

int Random15() { return std::rand() / (RAND_MAX / 32768 + 1); }

void ParticleEffect::Init(Adapter::Graphics& graphics)
{
    flower.reset(new Texture("data/partikler/blomst.png", graphics, true, true));
    background.reset(new FullScreenTexture("data/partikler/baggrund.png", graphics, false, true));
    SampleUnminified(*background, graphics);
    veil.reset(new Texture("data/partikler/sloer.png", graphics, false, true));
    particleDepth.reset(new float[particleCount]);
    for (int i = 0; i < particleCount; ++i)
        particleDepth[i] = -static_cast<float>(i) / 5.0f;

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, flower->id);
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &flowerSize);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    flowerSize = std::max(flowerSize, height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &flowerMinFilter);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
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
    magnifiedCount = 0;
    // The picture's height on the drawing surface, in its pixels.
    const int viewportHeight = graphics.Pixels(graphics.viewportHeight);
    for (int i = 0; i < particleCount; ++i) {
        const float z = particleDepth[i];
        const float b = z >= -5.0f ? 0.5f : 0.5f * (-5.0f / z);
        if (i % veilEvery == 0) {
            DrawMagnifiedFlowers(graphics);
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
            const FlowerPlace place{px - 1.5f, py - 1.5f, z, b};
            // Flowers add onto the picture, so within a run between two veils
            // their order changes no pixel: the magnified ones wait for the end
            // of the run and are drawn together with the cheaper filter.
            if (IsMagnified(z, viewportHeight))
                magnified[magnifiedCount++] = place;
            else
                DrawFlower(graphics, place);
        }
        // A long stall (2 s or more) moves nothing rather than scattering the column.
        if (step < 10.0f)
            particleDepth[i] += step;
    }
    DrawMagnifiedFlowers(graphics);
}

void ParticleEffect::DrawFlower(Adapter::Graphics& graphics, const FlowerPlace& place)
{
    const float b = place.brightness;
    graphics.Draw(Enable(GL_BLEND))
        .Draw(*flower)
        .Draw(Color(b, b, b, b))
        .Draw(PushMatrix())
        .Draw(Translate(place.x, place.y, place.z))
        .Draw(Quad(1.0f, 1.0f))
        .Draw(PopMatrix())
        .Draw(Disable(GL_BLEND));
}

// The sprites face the eye squarely, so a flower's texels are the same size
// all over it: the picture's width against the unit quad's width on screen.
bool ParticleEffect::IsMagnified(float z, int viewportHeight) const
{
    const double distance = columnDistance - z;
    const double pixelsPerUnit = 0.5 * viewportHeight / std::tan(fieldOfViewY * M_PI / 360.0) / distance;
    return distance > 0 && flowerSize < magnifiedBelow * pixelsPerUnit;
}

// A magnified picture is sampled with the magnification filter whatever the
// minification filter is; switching the latter to plain linear filtering
// spares the rasteriser its level-of-detail work and changes no pixel.
void ParticleEffect::DrawMagnifiedFlowers(Adapter::Graphics& graphics)
{
    if (magnifiedCount == 0)
        return;
    graphics.Draw(*flower);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    for (int k = 0; k < magnifiedCount; ++k)
        DrawFlower(graphics, magnified[k]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, flowerMinFilter);
    magnifiedCount = 0;
}

} // namespace Effects
