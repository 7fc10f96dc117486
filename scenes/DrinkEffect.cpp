#include "scenes/DrinkEffect.h"
#include "drawables/Drawables.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"

namespace Effects {

namespace DrinkState {
float flashLevel = 0.0f;
float drinkSink = 0.0f;
} // namespace DrinkState

using namespace Drawables;
using namespace DrinkState;

void DrinkEffect::Init(Adapter::Graphics& graphics)
{
    drinkPicture.reset(new Texture("data/drink/caipirinha.png", graphics, true, true));
    flash.reset(new FullScreenTexture("data/drink/flash.png", graphics, true, true));
}

void DrinkEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    Decay(flashLevel, 0.01 * static_cast<float>(delta));
    if (syncEvent == Demo::SyncBass)
        flashLevel = 1.0f;
    else if (syncEvent == Demo::SyncClap && time > 83000)
        drinkSink = static_cast<float>(drinkSink - 0.1);

    // Rises 4 units over the scene's 42 s: from -2 at 80 s to 2 at 122 s.
    const float y = static_cast<float>(time - 80000u) * 0.000095238094f - 2.0f + drinkSink;
    const float drink = 1.0f - flashLevel;
    const float f = flashLevel;
    graphics.Draw(Enable(GL_TEXTURE_2D))
        .Draw(Enable(GL_BLEND))
        .Draw(Color(drink, drink, drink, drink))
        .Draw(*drinkPicture)
        .Draw(PushMatrix())
        .Draw(Translate(0, y, -1))
        .Draw(Quad(1, 3))
        .Draw(PopMatrix())
        .Draw(Color(f, f, f, f))
        .Draw(*flash)
        .Draw(Color(1, 1, 1, 1))
        .Draw(Disable(GL_BLEND))
        .Draw(Disable(GL_TEXTURE_2D));
}

} // namespace Effects
