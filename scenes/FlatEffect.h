#pragma once
#include "scenes/BlurEffect.h"

#include <GL/gl.h>
#include <memory>
#include <vector>

namespace Drawables {
class FullScreenTexture;
}

namespace Effects {

// One copy of the ring mesh in the row along z.
struct TubeSlot {
    float z;
    float phase; // of its size pulse, radians
};

// Where and how large copy `number` (1-based) of the row is drawn at `time`.
struct TubePose {
    float scale;
    float angle; // degrees about z
};
TubePose PoseOfSlot(const TubeSlot& slot, int number, unsigned time);

// The eye's z coordinate: it swings between -10 and +10 with the music, and
// a stronger glow (a clap) moves it toward +z.
float CityCameraZ(unsigned time, float blurStrength);

// The city scene: a glowing row of spinning rings between a back and a front
// skyline; the bass lights and knocks down the back one, claps light the
// front one and boost the glow.
class FlatEffect : public BlurEffect {
public:
    FlatEffect();
    ~FlatEffect() override;

    void Init(Adapter::Graphics& graphics) override;
    void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent) override;
    void RenderBackground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent) override;
    void RenderForeground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent) override;

    std::vector<TubeSlot> tubeSlots;
    std::unique_ptr<Drawables::FullScreenTexture> cityFront;
    std::unique_ptr<Drawables::FullScreenTexture> cityFrontLight;
    std::unique_ptr<Drawables::FullScreenTexture> cityBack;
    std::unique_ptr<Drawables::FullScreenTexture> cityBackLight;

private:
    // The ring mesh compiled once (Init), called for every copy.
    GLuint ringList = 0;
    // Distance of the mesh's farthest vertex from its centre.
    float ringReach = 0.0f;
};

// Beat-driven values of the scene, kept for the whole run.
namespace FlatState {
extern float backShift;  // pixels the back skyline is pushed down
extern float backFlash;  // weight of the lit back skyline
extern float frontFlash; // weight of the lit front skyline
} // namespace FlatState

} // namespace Effects
