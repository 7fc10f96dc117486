#pragma once
#include "runtime/IEffect.h"

namespace Effects {

// Opens every frame: clears the picture area to a fixed colour.
class ClearEffect : public Demo::IEffect {
public:
    ClearEffect(float red, float green, float blue, float alpha, bool clearDepth)
        : red(red), green(green), blue(blue), alpha(alpha), clearDepth(clearDepth)
    {
    }
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    float red, green, blue, alpha;
    bool clearDepth;
};

} // namespace Effects
