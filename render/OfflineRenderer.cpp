#include "OfflineRenderer.h"
#include "graphics/Graphics.h"
#include "platform/SoundSystem.h"
#include "platform/StopSignals.h"
#include "runtime/ShowSession.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <algorithm>
#include <stdexcept>

namespace Render {

namespace {

const int frameWidth = 1024;
const int frameHeight = 768;

// Installs the scripted clock for the life of one render.
class ScriptedClockScope {
public:
    ScriptedClockScope()
    {
        clock.RequireFile(true); // the soundtrack must be there, as for live play
        Platform::UseSoundSystem(&clock);
    }
    ~ScriptedClockScope() { Platform::UseSoundSystem(nullptr); }
    Platform::ScriptedSoundSystem clock;
};

} // namespace

void ReadFrame(std::vector<unsigned char>& pixels, std::vector<unsigned char>& scratch)
{
    const size_t rowBytes = frameWidth * 4;
    pixels.resize(rowBytes * frameHeight);
    scratch.resize(rowBytes * frameHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGBA, GL_UNSIGNED_BYTE, scratch.data());
    for (int row = 0; row < frameHeight; ++row) {
        const unsigned char* in = &scratch[(frameHeight - 1 - row) * rowBytes];
        unsigned char* out = &pixels[row * rowBytes];
        std::copy(in, in + rowBytes, out);
        for (size_t i = 3; i < rowBytes; i += 4)
            out[i] = 255; // the picture is what is on screen; its alpha is not
    }
}

void OfflineRenderer::Run(IFrameOutput& output, const Progress& progress)
{
    ScriptedClockScope scope;
    Demo::ShowSession session;
    session.Load();
    const unsigned playStart = PlayStart(options);
    session.StartMusic(static_cast<int>(playStart));
    // The first frame steps by one frame length, as every later one does.
    session.player.lastTime = playStart - (FrameTime(options, 1) - FrameTime(options, 0));

    // Pre-roll frames are drawn, so that scene and beat state are those of
    // play, but never read back.
    const unsigned long long firstWritten = FirstWrittenFrame(options);
    const unsigned long long total = FrameCount(options);
    std::vector<unsigned char> pixels, scratch;
    for (unsigned long long n = 0; n < total; ++n) {
        if (Adapter::PollQuitKey() == 2 || Platform::StopRequested())
            throw std::runtime_error("interrupted");
        const unsigned time = FrameTime(options, n);
        scope.clock.SetPosition(time);
        session.player.DrawFrame();
        if (n >= firstWritten && output.Wants(time)) {
            ReadFrame(pixels, scratch);
            output.Write(Frame{frameWidth, frameHeight, pixels});
        }
        SDL_GL_SwapBuffers();
        if (progress)
            progress(n + 1, total);
    }
}

} // namespace Render
