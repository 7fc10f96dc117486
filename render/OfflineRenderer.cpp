#include "render/OfflineRenderer.h"
#include "app/ShowSession.h"
#include "graphics/Graphics.h"
#include "platform/SoundSystem.h"
#include "platform/StopSignals.h"
#include "render/BackBuffer.h"

#include <stdexcept>

namespace Render {

void OfflineRenderer::Run(IFrameOutput& output, const Progress& progress)
{
    Platform::ScriptedClockScope scope;
    scope.clock.RequireFile(true); // the soundtrack must be there, as for live play
    // Frames are drawn off screen at the size asked for, whatever the
    // display's size, and never wait for its refresh.
    Adapter::DisplaySettings display;
    display.surface = Adapter::Surface::Offscreen;
    display.width = options.width;
    display.height = options.height;
    display.vsync = false;
    Demo::ShowSession session(display);
    session.Load();
    const unsigned playStart = PlayStart(options);
    session.StartMusic(static_cast<int>(playStart));
    // The first frame steps by one frame length, as every later one does.
    session.player.Start(playStart, FrameTime(options, 1) - FrameTime(options, 0));

    // Pre-roll frames are drawn, so that scene and beat state are those of
    // play, but never read back.
    const unsigned long long firstWritten = FirstWrittenFrame(options);
    const unsigned long long total = FrameCount(options);
    std::vector<unsigned char> pixels;
    for (unsigned long long n = 0; n < total; ++n) {
        if (Adapter::PollQuitKey() == Adapter::InputStop || Platform::StopRequested())
            throw std::runtime_error("interrupted");
        const unsigned time = FrameTime(options, n);
        scope.clock.SetPosition(time);
        session.player.DrawFrame();
        if (n >= firstWritten && output.Wants(time)) {
            ReadFrame(pixels, options.width, options.height);
            output.Write(Frame{options.width, options.height, pixels});
        }
        session.graphics.Present();
        if (progress)
            progress(n + 1, total);
    }
}

} // namespace Render
