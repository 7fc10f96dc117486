#pragma once
#include "runtime/IEffect.h"

namespace Medium {
class IOutputMedium;
}

namespace Effects {

// Base of scenes drawn through an off-screen capture with a radial glow.
class BlurEffect : public Demo::IEffect {
public:
    BlurEffect(bool blurEnabled, float blurStrength) : blurEnabled(blurEnabled), blurStrength(blurStrength) {}
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;
    virtual void RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderBackground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);
    virtual void RenderForeground(Medium::IOutputMedium& screen, unsigned time, unsigned delta, int syncEvent);

    bool blurEnabled;
    float blurStrength;
};

} // namespace Effects
