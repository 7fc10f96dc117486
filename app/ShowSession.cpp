#include "app/ShowSession.h"
#include "app/Timeline.h"

namespace Demo {

namespace {

// Scenes draw into a centred 1024 x 600 picture area of the 1024 x 768 window.
Adapter::Graphics& Letterboxed(Adapter::Graphics& graphics)
{
    graphics.SetPerspective(1024, 600, 45, 0.1f, 1000, true);
    return graphics;
}

} // namespace

ShowSession::ShowSession() : player(Letterboxed(graphics), music) { BuildTimeline(player); }

void ShowSession::StartMusic(int startTime)
{
    // Without this every mark before the start would be overdue and fire,
    // one a frame, at the start of playback: seconds of solid flash and
    // scenes knocked about by beats long past.
    const unsigned firstDue = startTime > 0 ? static_cast<unsigned>(startTime) : 0;
    for (ISynchronizerChannel* channel : player.channels)
        channel->SkipBefore(firstDue);
    music.Play();
    music.SetTime(startTime);
}

} // namespace Demo
