#pragma once
// Full-screen picture layers shared by the scenes: weighted drawing and the
// filter they are sampled with.
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "graphics/Graphics.h"
#include "graphics/IOutputMedium.h"

namespace Effects {

// Draws `picture` tinted by `weight` under the blend mode in force. Under
// both blend modes the scenes layer with (additive, and alpha over) a weight
// of 0 leaves the frame as it is, so such a layer is not filled at all; its
// texture is still bound, as drawing it would have left it, because later
// draws sample whatever texture is bound.
inline Medium::IOutputMedium& DrawWeightedLayer(Medium::IOutputMedium& medium, Drawables::FullScreenTexture& picture,
                                                float weight)
{
    medium.Draw(Drawables::Color(weight, weight, weight, weight));
    if (weight != 0.0f)
        return medium.Draw(picture);
    glBindTexture(GL_TEXTURE_2D, picture.id);
    return medium;
}

// A full-screen picture no larger than the viewport's pixels is never minified, so
// the mipmapped filter only ever samples its first level, as the plain
// linear filter does; the plain filter spares the rasteriser choosing a
// level for every pixel. Larger pictures keep their mipmaps.
inline void SampleUnminified(Drawables::FullScreenTexture& picture, const Adapter::Graphics& graphics)
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, picture.id);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= graphics.Pixels(graphics.viewportWidth) && height <= graphics.Pixels(graphics.viewportHeight))
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Loading order decides what the first frame finds bound.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

} // namespace Effects
