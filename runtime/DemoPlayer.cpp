#include "runtime/DemoPlayer.h"
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "graphics/Graphics.h"
#include "platform/Platform.h"
#include "platform/StopSignals.h"
#include "runtime/DisplayLead.h"
#include "runtime/MusicStream.h"

#include <SDL/SDL.h>

#include <cmath>

namespace Demo {

DemoPlayer::DemoPlayer(Adapter::Graphics& graphics, MusicStream& music)
    : graphics(graphics), music(music), lastTime(SDL_GetTicks())
{
}

void DemoPlayer::AddEffect(ITimingElement* timing, IEffect* effect) { effects.emplace_back(timing, effect); }

void DemoPlayer::AddChannel(ISynchronizerChannel* channel) { channels.push_back(channel); }

void DemoPlayer::Initialize()
{
    Drawables::FullScreenTexture loading("data/loader/loading.png", graphics, false, true);
    graphics.Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(loading).Draw(Drawables::Disable(GL_TEXTURE_2D));
    graphics.Present();

    // A stop signal leaves the rest unloaded: the run ends without playing.
    for (ISynchronizerChannel* channel : channels) {
        if (Platform::StopRequested())
            return;
        channel->Load();
    }
    for (auto& entry : effects) {
        if (Platform::StopRequested())
            return;
        entry.second->Init(graphics);
    }
}

void DemoPlayer::DrawFrame()
{
    const unsigned reading = music.GetTime();
    unsigned time = reading;
    unsigned markTime = reading; // the time the beat channels are asked at
    if (display) {
        const double lead = display->Advance(reading);
        time = reading + static_cast<unsigned>(std::lround(lead));
        // Half a frame on: a mark fires on the frame seen nearest to it (at
        // most half a frame early) rather than on the first one seen after
        // it (up to a whole frame late, half a frame on average).
        markTime = reading + static_cast<unsigned>(std::lround(lead + display->FrameMs() / 2));
    }
    const unsigned delta = time - lastTime; // wraps when the clock stepped back

    int syncEvent = 0;
    for (ISynchronizerChannel* channel : channels) {
        syncEvent = channel->Poll(markTime);
        if (syncEvent != 0)
            break;
    }
    if (syncEvent == SyncBass)
        Platform::DebugOutput("BASS\n");
    else if (syncEvent == SyncClap)
        Platform::DebugOutput("CLAP\n");

    for (auto& entry : effects) {
        if (entry.first->IsActive(time))
            entry.second->Render(graphics, time, delta, syncEvent);
    }
    lastTime = time;
}

void DemoPlayer::RenderFrame()
{
    DrawFrame();
    graphics.Present();
}

} // namespace Demo
