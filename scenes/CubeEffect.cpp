#include "scenes/CubeEffect.h"

namespace Effects {

void CubeEffect::Init(Adapter::Graphics&) {}

void CubeEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
