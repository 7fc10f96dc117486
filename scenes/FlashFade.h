#pragma once
#include "scenes/Layers.h"

namespace Effects {

// Adds (1 - flashLevel) x background and flashLevel x flash onto the black
// frame: a cross-fade to the flash picture. Leaves texturing and additive
// blending on for the caller to switch off.
inline Medium::IOutputMedium& DrawFlashFade(Medium::IOutputMedium& medium, Drawables::FullScreenTexture& background,
                                            Drawables::FullScreenTexture& flash, float flashLevel)
{
    using namespace Drawables;
    medium.Draw(Enable(GL_TEXTURE_2D)).Draw(Enable(GL_BLEND));
    DrawWeightedLayer(medium, background, 1 - flashLevel);
    return DrawWeightedLayer(medium, flash, flashLevel);
}

} // namespace Effects
