#pragma once
#include "drawables/Texture.h"
#include "runtime/IEffect.h"

#include <GL/gl.h>

#include <memory>

namespace Effects {

namespace CylinderState {
// The tube texture in use; swapped by every bass event.
extern Drawables::Texture* currentTubeTexture;
// Downward shift of the background and flash in pixels; also lifts the fog.
extern float backShift;
// Weight of the flash picture over the background.
extern float flashLevel;
} // namespace CylinderState

// A wobbling textured tube with a dark outline and black fog across the
// picture, a banner sliding in, and a flash on the claps.
class CylinderEffect : public Demo::IEffect {
public:
    static const int ringCount = 100;
    // The tube is built from rings 0 to tubeRings and as many segments.
    static const int tubeRings = 50;
    static const int tubeSegments = 50;
    static constexpr int tubeVertexCount = (tubeRings + 1) * (tubeSegments + 1);
    static constexpr int tubeCornerCount = tubeRings * tubeSegments * 4;

    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    // Recomputes the ring tables and the tube's vertices from them.
    void UpdateRings(float phase);
    // Issues the tube straight to GL with whatever texture and state are current.
    void DrawTube();

    std::unique_ptr<float[]> ringShift;
    std::unique_ptr<float[]> ringRadius;
    std::unique_ptr<float[]> ringCentre;
    std::unique_ptr<Drawables::Texture> tubeTextureA;
    std::unique_ptr<Drawables::Texture> tubeTextureB;
    std::unique_ptr<Drawables::FullScreenTexture> background;
    std::unique_ptr<Drawables::FullScreenTexture> flash;
    std::unique_ptr<Drawables::Texture> slider;

    // One tube vertex as its texture coordinate and position.
    struct TubePoint {
        GLfloat x, y, z;
        GLfloat s, t;
    };
    // Ring-major grid of the tube's vertices, and the corners of its quads
    // as indices into it.
    std::unique_ptr<TubePoint[]> tubePoints;
    std::unique_ptr<GLushort[]> tubeCorners;

private:
    void UpdateTubePoints();
};

} // namespace Effects
