#include "scenes/BlurEffect.h"
#include "drawables/Drawables.h"
#include "drawables/RenderToTexture.h"
#include "graphics/Graphics.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Effects {

using namespace Drawables;

BlurEffect::BlurEffect(bool blurEnabled, float blurStrength)
    : blurEnabled(blurEnabled), blurStrength(blurStrength), drawnBox{0, 0, 0, 0}
{
}

BlurEffect::~BlurEffect() = default;

void BlurEffect::Init(Adapter::Graphics& graphics)
{
    renderTarget.reset(new FullScreenRenderToTexture(graphics, 1024));
}

void BlurEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    FullScreenRenderToTexture& target = *renderTarget;

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The first drawable starts the capture (target viewport and projection).
    target.Draw(Enable(GL_TEXTURE_2D));
    drawnBox = WholeTarget();
    RenderScene(target, time, delta, syncEvent);
    target.Draw(Enable(GL_TEXTURE_2D));
    // Also clears the whole window to (0, 0, 0, 0), colour and depth, so the
    // window needs no clear of its own before the background.
    target.Capture();
    RenderBackground(graphics, time, delta, syncEvent);

    // The capture keeps alpha 0 wherever RenderScene drew nothing, so the
    // background shows through there.
    graphics.Draw(Enable(GL_TEXTURE_2D)).Draw(Enable(BLEND_ALPHA)).Draw(Color(1, 1, 1, 1));
    DrawTarget(graphics, 1.0f);
    graphics.Draw(Disable(BLEND_ALPHA));

    graphics.Draw(Enable(GL_TEXTURE_2D)).Draw(Disable(GL_DEPTH_TEST)).Draw(Enable(GL_BLEND));
    if (blurEnabled)
        DrawGlow(graphics);

    target.grow = 1.0f;
    graphics.Draw(Color(1, 1, 1, 1));
    graphics.Draw(Disable(GL_TEXTURE_2D)).Draw(Disable(GL_BLEND));

    RenderForeground(graphics, time, delta, syncEvent);
}

// Additive copies of the capture, each enlarged further and weighted less.
void BlurEffect::DrawGlow(Adapter::Graphics& graphics)
{
    const float fade = blurStrength / 25.0f;
    float weight = blurStrength;
    for (int pass = 1; pass <= glowPasses; ++pass) {
        if (!(weight > 0.0f))
            break;
        graphics.Draw(Color(weight, weight, weight, weight));
        DrawTarget(graphics, static_cast<float>(glowSpread * pass));
        weight -= fade;
    }
}

// Outside drawnBox the capture is transparent black, which neither the
// composite (alpha over) nor a glow pass (additive) changes anything with:
// those pixels are left out of the fill. The box is widened by two texels
// for the reach of the linear filter.
void BlurEffect::DrawTarget(Adapter::Graphics& graphics, float grow)
{
    FullScreenRenderToTexture& target = *renderTarget;
    target.grow = grow;
    GLint viewport[4], scissor[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    // Texel (u, v) of the target lands at (x - g + u (W + 2g) / width,
    // y - g + v (H + 2g) / height) in viewport pixels counted from the top:
    // the quad shows the capture mirrored top to bottom.
    const float scaleX = (viewport[2] + 2 * grow) / static_cast<float>(target.width);
    const float scaleY = (viewport[3] + 2 * grow) / static_cast<float>(target.height);
    const float reach = 2.0f;
    const float left = target.x - grow + (drawnBox.left - reach) * scaleX;
    const float right = target.x - grow + (drawnBox.right + reach) * scaleX;
    const float fromTop = target.y - grow + (drawnBox.bottom - reach) * scaleY;
    const float toBottom = target.y - grow + (drawnBox.top + reach) * scaleY;
    // Window pixels from the bottom, inside the scissor box in force.
    const int viewportTop = viewport[1] + viewport[3];
    const int x0 = std::max(scissor[0], viewport[0] + static_cast<int>(std::floor(left)));
    const int x1 = std::min(scissor[0] + scissor[2], viewport[0] + static_cast<int>(std::ceil(right)));
    const int y0 = std::max(scissor[1], viewportTop - static_cast<int>(std::ceil(toBottom)));
    const int y1 = std::min(scissor[1] + scissor[3], viewportTop - static_cast<int>(std::floor(fromTop)));
    if (x1 > x0 && y1 > y0) {
        glScissor(x0, y0, x1 - x0, y1 - y0);
        graphics.Draw(target);
        glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    } else {
        glBindTexture(GL_TEXTURE_2D, target.id); // as drawing it would leave it
    }
}

TargetBox BlurEffect::WholeTarget() const
{
    return TargetBox{0.0f, 0.0f, static_cast<float>(renderTarget->width), static_cast<float>(renderTarget->height)};
}

void BlurEffect::RenderScene(Medium::IOutputMedium&, unsigned, unsigned, int)
{
    throw std::runtime_error("RenderScene is implemented (BlurEffect is not supposed to stand alone)");
}

void BlurEffect::RenderBackground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

void BlurEffect::RenderForeground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

} // namespace Effects
