#include "scenes/ParticleEffect.h"

namespace Effects {

void ParticleEffect::Init(Adapter::Graphics&) {}

void ParticleEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}

} // namespace Effects
