#include "scenes/TheEndEffect.h"

namespace Effects {

void TheEndEffect::Init(Adapter::Graphics&) {}

void TheEndEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
