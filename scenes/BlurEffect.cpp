#include "scenes/BlurEffect.h"

namespace Effects {

void BlurEffect::Init(Adapter::Graphics&) {}
void BlurEffect::Render(Adapter::Graphics&, unsigned, unsigned, int) {}
void BlurEffect::RenderScene(Medium::IOutputMedium&, unsigned, unsigned, int) {}
void BlurEffect::RenderBackground(Medium::IOutputMedium&, unsigned, unsigned, int) {}
void BlurEffect::RenderForeground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

} // namespace Effects
