#pragma once
#include "runtime/IEffect.h"

#include <memory>

namespace Drawables {
class FullScreenTexture;
class Texture;
} // namespace Drawables

namespace Effects {

// Offset and spin axis of one box, from five successive rand() values.
struct BoxScatter {
    float y;
    float z;
    int axisX, axisY, axisZ;

    static BoxScatter FromRandom(int r1, int r2, int r3, int r4, int r5);
    // A zero axis has no defined rotation; such a box is drawn unrotated.
    bool HasAxis() const { return axisX != 0 || axisY != 0 || axisZ != 0; }
};

// The box and greetings scene: a background the bass knocks down and flashes
// and each clap inverts; after 150 s a lit cloud of 1000 textured boxes
// drifting along the tilted group's x axis, re-scattered on every clap, and a
// row of greetings scrolling along the same axis.
class CubeEffect : public Demo::IEffect {
public:
    static constexpr int boxCount = 1000;
    static constexpr int boxTextureCount = 3;
    static constexpr int greetingCount = 14;
    static constexpr unsigned boxesFrom = 150000; // boxes and greetings after this time

    CubeEffect();
    ~CubeEffect() override;

    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<Drawables::FullScreenTexture> background;
    std::unique_ptr<Drawables::FullScreenTexture> backgroundInverse;
    std::unique_ptr<Drawables::FullScreenTexture> flash;
    std::unique_ptr<Drawables::Texture> boxTextures[boxTextureCount];
    std::unique_ptr<Drawables::Texture> greetingTextures[greetingCount];
    std::unique_ptr<float[]> boxDepths; // each box's x in the group frame

private:
    void UpdateBeats(unsigned time, float elapsed, int syncEvent);
    void DrawBoxes(Adapter::Graphics& graphics, unsigned time, float elapsed);
    void DrawGreetings(Adapter::Graphics& graphics, float elapsed);
};

// Draws the cube from -1 to 1 on each axis, one normal per face; the left
// face comes last, so its normal (-1, 0, 0) stays current.
void DrawBox();

// State of the scene kept for the whole run.
namespace CubeState {
extern Drawables::FullScreenTexture* currentBackground; // null until the first frame
extern unsigned boxSeed;
extern float flashLevel;
extern float backShift;
extern float greetingScroll;
} // namespace CubeState

} // namespace Effects
