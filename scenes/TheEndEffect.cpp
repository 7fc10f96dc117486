#include "scenes/TheEndEffect.h"
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "graphics/Graphics.h"

#include <cmath>

namespace Effects {

using namespace Drawables;

EndTextLayout EndTextLayout::At(unsigned time)
{
    // Signed, so that a time past the end cannot wrap into a huge weight.
    const float fade = static_cast<float>(static_cast<double>(TheEndEffect::showEnd) - time) /
                       static_cast<float>(TheEndEffect::fadeLength);
    const float stretch = 100.0f * std::sin(static_cast<float>(time * 0.001));
    const float bob = 50.0f * std::sin(static_cast<float>(time * 0.004));
    return EndTextLayout{fade, static_cast<int>(stretch + 600.0f), static_cast<int>(bob - stretch)};
}

TheEndEffect::TheEndEffect() = default;

TheEndEffect::~TheEndEffect() = default;

void TheEndEffect::Init(Adapter::Graphics& graphics)
{
    background.reset(new FullScreenTexture("data/end/baggrund.png", graphics, false, true));
    text.reset(new FullScreenTexture("data/end/text.png", graphics, false, true));
}

void TheEndEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned, int)
{
    const EndTextLayout layout = EndTextLayout::At(time);
    text->height = layout.height;
    text->x = 0;
    text->y = layout.y;

    const float f = layout.fade;
    graphics.Draw(Enable(GL_TEXTURE_2D))
        .Draw(Color(f, f, f, f))
        .Draw(*background)
        .Draw(Color(1 - f, 1 - f, 1 - f, 1 - f))
        .Draw(Enable(GL_BLEND))
        .Draw(*text)
        .Draw(Disable(GL_BLEND))
        .Draw(Disable(GL_TEXTURE_2D));
}

} // namespace Effects
