#include "scenes/LogoEffect.h"

namespace Effects {

void LogoEffect::Init(Adapter::Graphics&) {}

void LogoEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
