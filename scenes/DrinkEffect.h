#pragma once
#include "drawables/Texture.h"
#include "runtime/IEffect.h"

#include <memory>

namespace Effects {

namespace DrinkState {
// Weight of the flash picture; the drink gets the rest.
extern float flashLevel;
// Offset added to the drink's height; each clap after 83 s lowers it for good.
extern float drinkSink;
} // namespace DrinkState

// A tall drink rising slowly through the picture, replaced for an instant
// by a flash on every bass beat.
class DrinkEffect : public Demo::IEffect {
public:
    void Init(Adapter::Graphics& graphics) override;
    void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) override;

    std::unique_ptr<Drawables::Texture> drinkPicture;
    std::unique_ptr<Drawables::FullScreenTexture> flash;
};

} // namespace Effects
