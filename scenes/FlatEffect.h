#pragma once
#include "scenes/BlurEffect.h"

namespace Effects {

class FlatEffect : public BlurEffect {
public:
    FlatEffect() : BlurEffect(true, 0.025f) {}
};

} // namespace Effects
