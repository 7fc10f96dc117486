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

// A rectangle of the render target in its pixels, x from the left edge and y
// from the bottom.
struct TargetBox {
    float left, bottom, right, top;
};

// Base of scenes drawn through an off-screen capture: the subclass draws a 3D
// picture into the target, the base lays it over the subclass's background,
// adds a radial glow of enlarged copies and lets the subclass draw a
// foreground on top.
class BlurEffect : public Demo::IEffect {
public:
    static constexpr int glowPasses = 24;
    static constexpr int glowSpread = 10; // pixels of growth per pass

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
    // Where RenderScene may have drawn: the whole target before each call; a
    // subclass that knows better narrows it there, and the composite and the
    // glow then fill only the part of the window it covers.
    TargetBox drawnBox;

private:
    void DrawGlow(Adapter::Graphics& graphics);
    // Draws the target grown by `grow` pixels, scissored to where drawnBox lands.
    void DrawTarget(Adapter::Graphics& graphics, float grow);
    TargetBox WholeTarget() const;
};

} // namespace Effects
