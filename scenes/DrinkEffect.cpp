#include "scenes/DrinkEffect.h"

namespace Effects {

void DrinkEffect::Init(Adapter::Graphics&) {}

void DrinkEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
