#pragma once
#include "drawables/Texture.h"
#include "runtime/IEffect.h"

#include <memory>

namespace Effects {

namespace LogoState {
// Background brightness and logo size, 0 to 1; knocked to 0 by the bass.
extern float logoPulse;
} // namespace LogoState

// The opening: a background sliding in from the right under an additive logo
// that fades in and pulses with the bass.
class LogoEffect : public Demo::IEffect {
public:
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<Drawables::FullScreenTexture> background;
    std::unique_ptr<Drawables::Texture> logo;
};

} // namespace Effects
