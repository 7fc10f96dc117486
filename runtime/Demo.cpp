#include "runtime/Demo.h"
#include "graphics/Graphics.h"
#include "platform/Platform.h"
#include "platform/StopSignals.h"
#include "runtime/DemoPlayer.h"
#include "runtime/MusicStream.h"
#include "runtime/StartTime.h"
#include "runtime/Timeline.h"

#include <exception>

namespace Demo {

int RunDemo()
{
    Platform::InstallStopSignalHandlers();
    try {
        MusicStream music;
        Adapter::Graphics graphics;
        graphics.SetPerspective(1024, 600, 45, 0.1f, 1000, true);
        DemoPlayer player(graphics, music);
        BuildTimeline(player);
        player.Initialize();
        music.Play();
        music.SetTime(GetStartTime());

        for (;;) {
            if (Adapter::PollQuitKey() == 2 || Platform::StopRequested())
                break;
            if (music.GetTime() >= showEnd)
                break;
            player.RenderFrame();
        }
    } catch (const std::exception& error) {
        // By now the player, the window and the sound are all closed.
        Platform::ShowErrorBox(error.what(), "An error occurred");
        return 1;
    }
    Platform::ReraiseStopSignal();
    return 0;
}

} // namespace Demo
