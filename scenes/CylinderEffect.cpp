#include "scenes/CylinderEffect.h"

namespace Effects {

void CylinderEffect::Init(Adapter::Graphics&) {}

void CylinderEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
