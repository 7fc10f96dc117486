#include "drawables/RenderToTexture.h"
#include "drawables/Drawables.h"
#include "graphics/GlLimits.h"
#include "graphics/Graphics.h"

#include <stdexcept>
#include <vector>

namespace Drawables {

namespace {

// The target's height in picture units, whatever its width.
constexpr int targetHeight = 512;

// The captured corner must lie inside the colour buffer, or the copy reads
// undefined pixels (and a negative width would size the scratch buffer wrong).
int CheckedWidth(int width, const Adapter::Graphics& graphics)
{
    if (width < 1 || graphics.Pixels(width) > graphics.WindowWidth() ||
        graphics.Pixels(targetHeight) > graphics.WindowHeight())
        throw std::invalid_argument("RenderToTexture: the target does not fit in the window");
    return width;
}

} // namespace

RenderToTexture::RenderToTexture(Adapter::Graphics& graphics, int width)
    : width(CheckedWidth(width, graphics)), height(targetHeight), pixelWidth(graphics.Pixels(width)),
      pixelHeight(graphics.Pixels(targetHeight)), savedWidth(0), savedHeight(0), active(false), graphics(&graphics)
{
    Adapter::CheckTextureSize(pixelWidth, pixelHeight, "A render-to-texture target");
    glGenTextures(1, &id);
    graphics.Draw(Enable(GL_TEXTURE_2D));
    glBindTexture(GL_TEXTURE_2D, id);
    std::vector<unsigned char> scratch(static_cast<size_t>(pixelWidth) * static_cast<size_t>(pixelHeight) * 4);
    // The scenes draw the target grown by a unit or more on every side, so
    // no pixel they show samples within half a texel of its edge, where the
    // wrap mode would matter. Clamping to the edge keeps llvmpipe on its
    // fast 8-bit sampling path, which the border colour of GL_CLAMP leaves.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pixelWidth, pixelHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 scratch.data());
    graphics.Draw(Disable(GL_TEXTURE_2D));
}

Medium::IOutputMedium& RenderToTexture::Draw(IDrawable& drawable)
{
    if (!active) {
        glDisable(GL_SCISSOR_TEST);
        savedWidth = graphics->viewportWidth;
        savedHeight = graphics->viewportHeight;
        graphics->SetPerspective(width, height, Adapter::perspectiveFovY, Adapter::perspectiveZNear,
                                  Adapter::perspectiveZFar, false);
        active = true;
    }
    drawable.Draw(*graphics);
    return *this;
}

void RenderToTexture::Capture()
{
    if (!active)
        return;
    active = false;
    glBindTexture(GL_TEXTURE_2D, id);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, pixelWidth, pixelHeight, 0);
    // The scissor test is still off: this clears the whole window.
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    graphics->SetPerspective(savedWidth, savedHeight, Adapter::perspectiveFovY, Adapter::perspectiveZNear,
                             Adapter::perspectiveZFar, true);
}

FullScreenRenderToTexture::FullScreenRenderToTexture(Adapter::Graphics& graphics, int width)
    : RenderToTexture(graphics, width), x(0), y(0), grow(1.0f)
{
}

void FullScreenRenderToTexture::Draw(Adapter::Graphics& graphics)
{
    const int w = graphics.viewportWidth;
    const int h = graphics.viewportHeight;
    const float g = grow;
    DrawScreenQuad(id, w, h, x - g, y - g, x + w + g, y + h + g);
}

} // namespace Drawables
