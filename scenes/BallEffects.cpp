#include "scenes/BallEffects.h"

namespace Effects {

void BallEffects::Init(Adapter::Graphics&) {}

void BallEffects::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
