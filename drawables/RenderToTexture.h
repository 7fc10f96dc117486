#pragma once
#include "drawables/Texture.h"
#include "graphics/IOutputMedium.h"

namespace Drawables {

// A texture that is also an output medium: drawables handed to it are drawn
// into the lower-left width x 512 picture units of the drawing surface (as
// many pixels as those units take there), and Capture() copies that corner
// into the texture, clears the surface and gives it back its projection.
class RenderToTexture : public Texture, public Medium::IOutputMedium {
public:
    RenderToTexture(Adapter::Graphics& graphics, int width);

    using Texture::Draw;
    using Medium::IOutputMedium::Draw;
    Medium::IOutputMedium& Draw(IDrawable& drawable) override;
    void Capture();

    int width;  // picture units
    int height; // picture units
    int pixelWidth;
    int pixelHeight;
    int savedWidth;
    int savedHeight;
    bool active;
    Adapter::Graphics* graphics;
};

// Draws the captured texture over the whole viewport, mirrored top to bottom
// and enlarged by `grow` picture units on every side.
class FullScreenRenderToTexture : public RenderToTexture {
public:
    FullScreenRenderToTexture(Adapter::Graphics& graphics, int width);

    using RenderToTexture::Draw;
    void Draw(Adapter::Graphics& graphics) override;

    int x;
    int y;
    float grow;
};

} // namespace Drawables
