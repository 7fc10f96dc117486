#pragma once
#include "runtime/IEffect.h"

#include <memory>

namespace Medium {
class IOutputMedium;
}

namespace Drawables {
class FullScreenRenderToTexture;
}

namespace Effects {

class GlowSum;

// Base of scenes drawn through an off-screen capture: the subclass draws a 3D
// picture into the target, the base lays it over the subclass's background,
// adds a radial glow of enlarged copies and lets the subclass draw a
// foreground on top.
class BlurEffect : public Demo::IEffect {
public:
    static constexpr int glowPasses = 24;
    static constexpr int glowSpread = 10; // picture units of growth per pass
    // The pixels the summed glow is added up in at the picture's design size
    // and below: half the picture's units each way (a picture drawn smaller
    // than this uses its own size).
    static constexpr int glowSumWidth = 512;
    static constexpr int glowSumHeight = 300;
    // On larger pictures the sum grows so that laying it over enlarges it at
    // most this much, up to maxGlowSumGrowth times the sizes above each way:
    // enlarged further, its softened copy edges would differ visibly from
    // the copies'. Beyond that (pictures over 1843 x 1080) its cost stays.
    static constexpr float maxGlowSumEnlargement = 2.4f;
    static constexpr float maxGlowSumGrowth = 1.5f;
    // The heaviest first copy the summed glow adds up: a bright texel's
    // first copy adds 25 levels. Heavier glows (a flash, for a frame) are
    // drawn copy by copy.
    static constexpr float maxSummedWeight = 0.1f;

    // How the glow reaches the picture.
    enum class GlowMethod {
        // Every enlarged copy blended over the whole picture: 24 fills of
        // the screen's size. The reference the summed glow is held to.
        Copies,
        // The copies added up in glowSumWidth x glowSumHeight pixels, as
        // many to a fill as the driver's texture units combine, and laid
        // over the picture in the same fill as the capture; a glow heavier than
        // maxSummedWeight is still drawn copy by copy. The default;
        // RUVO_REFERENCE_GLOW=1 asks for Copies.
        Summed,
    };

    BlurEffect(bool blurEnabled, float blurStrength);
    ~BlurEffect() override;

    // Subclasses that override Init call this first.
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) final;

    // The captured picture. The base has none to draw and throws.
    virtual void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderBackground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderForeground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);

    // Copies of the capture one fill of the summed glow adds up: 1 where the
    // driver cannot combine them. Init sets it.
    int CopiesPerFill() const;
    // After Init: draw as a driver with only `units` texture units (at least
    // 1) would. With one, the summed glow adds one copy a fill and is laid
    // over the picture in a fill of its own after the capture's.
    void LimitTextureUnits(int units);

    bool blurEnabled;
    // Weight of the first glow pass; a subclass may change it in RenderScene
    // and the passes of that frame use the new value.
    float blurStrength;
    GlowMethod glowMethod = GlowMethod::Summed;
    std::unique_ptr<Drawables::FullScreenRenderToTexture> renderTarget;

private:
    void DrawGlowCopies(const float* weights, int copies, Adapter::Graphics& graphics);
    // Draws the target grown by `grow` units on every side.
    void DrawTarget(Adapter::Graphics& graphics, float grow);

    std::unique_ptr<GlowSum> glowSum;
};

} // namespace Effects
