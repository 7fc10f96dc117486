#include "scenes/LogoEffect.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"

namespace Effects {

namespace LogoState {
float logoPulse = 1.0f;
} // namespace LogoState

using namespace Drawables;
using LogoState::logoPulse;

void LogoEffect::Init(Adapter::Graphics& graphics)
{
    logo.reset(new Texture("data/logo/logo.png", graphics, false, true));
    background.reset(new FullScreenTexture("data/logo/baggrund.png", graphics, false, true));
}

void LogoEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    const float t = static_cast<float>(time);
    const float logoFade = time < 20000 ? t / 20000.0f : 1.0f;

    if (syncEvent == Demo::SyncBass)
        logoPulse = 0.0f;
    logoPulse = static_cast<float>(logoPulse + static_cast<double>(delta) * 0.01);
    if (logoPulse > 1.0f)
        logoPulse = 1.0f;
    if (logoPulse < 0.0f)
        logoPulse = 0.0f;
    // The fade-in owns the first ten seconds, bass or not.
    if (time < 10000)
        logoPulse = t / 10000.0f;

    const float slide = 1.0f - t / 37000.0f;
    background->x = static_cast<int>(slide * 1024.0f);
    background->y = 0;

    const float g = logoPulse;
    graphics.Draw(Enable(GL_TEXTURE_2D))
        .Draw(Color(g, g, g, g))
        .Draw(*background)
        .Draw(Enable(GL_BLEND))
        .Draw(PushMatrix())
        .Draw(Translate(0.0f, 0.0f, -1.5f))
        .Draw(Color(logoFade, logoFade, logoFade, logoFade))
        .Draw(*logo)
        .Draw(Quad(1.5f + 0.5f * g, 0.5f + 0.5f * g))
        .Draw(PopMatrix())
        .Draw(Disable(GL_BLEND))
        .Draw(Disable(GL_TEXTURE_2D));
}

} // namespace Effects
