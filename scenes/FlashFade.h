#pragma once
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "graphics/IOutputMedium.h"

namespace Effects {

// Adds (1 - flashLevel) x background and flashLevel x flash onto the black
// frame: a cross-fade to the flash picture. Leaves texturing and additive
// blending on for the caller to switch off.
inline Medium::IOutputMedium& DrawFlashFade(Medium::IOutputMedium& medium, Drawables::FullScreenTexture& background,
                                            Drawables::FullScreenTexture& flash, float flashLevel)
{
    using namespace Drawables;
    const float f = flashLevel;
    return medium.Draw(Enable(GL_TEXTURE_2D))
        .Draw(Enable(GL_BLEND))
        .Draw(Color(1 - f, 1 - f, 1 - f, 1 - f))
        .Draw(background)
        .Draw(Color(f, f, f, f))
        .Draw(flash);
}

} // namespace Effects
