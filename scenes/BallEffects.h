#pragma once
#include "drawables/Texture.h"
#include "runtime/IEffect.h"

#include <GL/glu.h>
#include <memory>

namespace Effects {

namespace BallState {
// Weight of the flash picture over the background.
extern float flashLevel;
// The ball's depth in eye space, never below -5.
extern float ballZ;
// Not 0 while the ball recedes; a clap stops it.
extern float ballMoving;
// Downward shift of the background in pixels.
extern float backShift;
} // namespace BallState

struct QuadricDeleter {
    void operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
};

// A textured ball in a turning veil, thrown at the viewer by the bass and
// stopped by the claps.
class BallEffects : public Demo::IEffect {
public:
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<GLUquadric, QuadricDeleter> quadric;
    std::unique_ptr<Drawables::Texture> ballTexture;
    std::unique_ptr<Drawables::Texture> veil;
    std::unique_ptr<Drawables::FullScreenTexture> background;
    std::unique_ptr<Drawables::FullScreenTexture> flash;

private:
    void UpdateBeat(unsigned delta, int syncEvent);
};

} // namespace Effects
