#pragma once
#include "drawables/Texture.h"
#include "runtime/IEffect.h"

#include <GL/gl.h>

#include <memory>

namespace Effects {

namespace ParticleState {
// Downward shift of the background in pixels, set by the bass.
extern float backShift;
// Radius of the column's circular wobble, set by the claps.
extern float sway;
} // namespace ParticleState

// A column of flower and veil sprites flying at the viewer, turning about
// the line of sight in front of a background.
class ParticleEffect : public Demo::IEffect {
public:
    static const int particleCount = 1000;
    static constexpr int veilEvery = 100; // sprites 0, 100, ... are veils

    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<Drawables::Texture> flower;
    std::unique_ptr<Drawables::Texture> veil;
    std::unique_ptr<Drawables::FullScreenTexture> background;
    // z of each sprite in the column's frame; sprite i starts at -i / 5.
    std::unique_ptr<float[]> particleDepth;

private:
    // A flower sprite's place in the column and its brightness.
    struct FlowerPlace {
        float x, y, z, brightness;
    };

    void DrawSprites(Adapter::Graphics& graphics, float step);
    void DrawFlower(Adapter::Graphics& graphics, const FlowerPlace& place);
    // Whether a flower at column depth z is drawn at least texel for pixel.
    bool IsMagnified(float z, int viewportHeight) const;
    void DrawMagnifiedFlowers(Adapter::Graphics& graphics);

    GLint flowerSize = 0;      // texels across the flower picture
    GLint flowerMinFilter = 0; // as loaded
    // The magnified flowers of the run of flowers being drawn.
    FlowerPlace magnified[veilEvery];
    int magnifiedCount = 0;
};

// A random number from 0 to 32767 whatever the library's RAND_MAX, so that
// the sprite layout spans the column on every platform.
int Random15();

} // namespace Effects
