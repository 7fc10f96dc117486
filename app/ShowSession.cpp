#include "app/ShowSession.h"
#include "app/Timeline.h"

namespace Demo {

namespace {

// The player is built on the window after the projection is set.
Adapter::Graphics& Letterboxed(Adapter::Graphics& graphics)
{
    graphics.SetLetterboxPerspective();
    return graphics;
}

} // namespace

ShowSession::ShowSession(const Adapter::DisplaySettings& display)
    : graphics(display), player(Letterboxed(graphics), music)
{
    BuildTimeline(player);
}

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
