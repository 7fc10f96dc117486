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

// Base of scenes drawn through an off-screen capture: the subclass draws a 3D
// picture into the target, the base lays it over the subclass's background,
// adds a radial glow of enlarged copies and lets the subclass draw a
// foreground on top.
class BlurEffect : public Demo::IEffect {
public:
    static constexpr int glowPasses = 24;
    static constexpr int glowSpread = 10; // picture units of growth per pass

    BlurEffect(bool blurEnabled, float blurStrength);
    ~BlurEffect() override;

    // Subclasses that override Init call this first.
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) final;

    // The captured picture. The base has none to draw and throws.
    virtual void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderBackground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderForeground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);

    bool blurEnabled;
    // Weight of the first glow pass; a subclass may change it in RenderScene
    // and the passes of that frame use the new value.
    float blurStrength;
    std::unique_ptr<Drawables::FullScreenRenderToTexture> renderTarget;

private:
    void DrawGlow(Adapter::Graphics& graphics);
    // Draws the target grown by `grow` units on every side.
    void DrawTarget(Adapter::Graphics& graphics, float grow);
};

} // namespace Effects
