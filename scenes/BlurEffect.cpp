#include "scenes/BlurEffect.h"
#include "drawables/Drawables.h"
#include "drawables/RenderToTexture.h"
#include "graphics/Graphics.h"

#include <stdexcept>

namespace Effects {

using namespace Drawables;

BlurEffect::BlurEffect(bool blurEnabled, float blurStrength) : blurEnabled(blurEnabled), blurStrength(blurStrength) {}

BlurEffect::~BlurEffect() = default;

void BlurEffect::Init(Adapter::Graphics& graphics)
{
    renderTarget.reset(new FullScreenRenderToTexture(graphics, Adapter::pictureWidth));
}

void BlurEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    FullScreenRenderToTexture& target = *renderTarget;

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The first drawable starts the capture (target viewport and projection).
    target.Draw(Enable(GL_TEXTURE_2D));
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

void BlurEffect::DrawTarget(Adapter::Graphics& graphics, float grow)
{
    renderTarget->grow = grow;
    graphics.Draw(*renderTarget);
}

void BlurEffect::RenderScene(Medium::IOutputMedium&, unsigned, unsigned, int)
{
    throw std::runtime_error("RenderScene is implemented (BlurEffect is not supposed to stand alone)");
}

void BlurEffect::RenderBackground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

void BlurEffect::RenderForeground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

} // namespace Effects
