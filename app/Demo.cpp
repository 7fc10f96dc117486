#include "app/Demo.h"
#include "app/CommandLine.h"
#include "app/ShowSession.h"
#include "app/Timeline.h"
#include "graphics/Graphics.h"
#include "platform/DataFolder.h"
#include "platform/OutputLatency.h"
#include "platform/Platform.h"
#include "platform/StopSignals.h"
#include "runtime/DisplayLead.h"
#include "runtime/ShowEnd.h"

#include <cstdlib>
#include <exception>

namespace Demo {

int RunDemo(const ShowOptions& options)
{
    Platform::InstallStopSignalHandlers();
    try {
        Platform::FindShowData();
        // Declared before the session, so it outlives the player that reads it.
        SteadyFrameTimer frameTimer;
        DisplayLead displayLead(frameTimer, Platform::DisplayLatencyMs(std::getenv("RUVO_DISPLAY_LATENCY_MS")));
        ShowSession session(options.display);
        session.player.FollowDisplay(&displayLead);
        session.Load();
        // A stop signal during loading ends the run before the music starts.
        if (!Platform::StopRequested())
            session.StartMusic(options.startTime);

        bool first = true;
        for (;;) {
            if (Adapter::PollQuitKey() == Adapter::InputStop || Platform::StopRequested())
                break;
            if (session.music.GetTime() >= showEnd)
                break;
            session.player.RenderFrame();
            // From here on the screen shows the show, no longer the loading
            // picture: what a watcher (the program tests) waits for.
            if (first)
                Platform::DebugOutput("Demo - first frame of the show presented\n");
            first = false;
        }
    } catch (const std::exception& error) {
        // By now the player, the window and the sound are all closed. The
        // dialog waits for the viewer; SIGINT or SIGTERM must still end it.
        Platform::RestoreDefaultStopSignals();
        Platform::ShowErrorBox(error.what(), "An error occurred");
        return 1;
    }
    Platform::ReraiseStopSignal();
    return 0;
}

} // namespace Demo
