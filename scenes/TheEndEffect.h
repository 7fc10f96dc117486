#pragma once
#include "runtime/IEffect.h"

namespace Effects {

class TheEndEffect : public Demo::IEffect {
public:
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;
};

} // namespace Effects
