#pragma once
#include "runtime/IEffect.h"
#include "runtime/ShowEnd.h"

#include <memory>

namespace Drawables {
class FullScreenTexture;
}

namespace Effects {

// Placement of the wobbling end text at one music time.
struct EndTextLayout {
    float fade; // weight of the background; the text gets 1 - fade
    int height;
    int y;

    static EndTextLayout At(unsigned time);
};

// The last scene: the background fades to black while the end text fades in
// on top, bobbing and stretching. Every frame depends on the time alone.
class TheEndEffect : public Demo::IEffect {
public:
    static constexpr unsigned showEnd = Demo::showEnd;
    static constexpr unsigned fadeLength = 19000;

    TheEndEffect();
    ~TheEndEffect() override;

    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<Drawables::FullScreenTexture> background;
    std::unique_ptr<Drawables::FullScreenTexture> text;
};

} // namespace Effects
