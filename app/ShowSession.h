#pragma once
#include "graphics/Graphics.h"
#include "runtime/DemoPlayer.h"
#include "runtime/MusicStream.h"

namespace Demo {

// Everything one run of the show owns, built in the order the entry needs:
// the soundtrack first (sound comes up before the window), then the window
// with its letterboxed projection, then the player holding the whole
// timeline. Members are destroyed in reverse: player, window, sound.
// Shared by the live program and the offline renderer.
class ShowSession {
public:
    explicit ShowSession(const Adapter::DisplaySettings& display = Adapter::DisplaySettings());

    // The loading step: loading picture, beat files, every scene's Init.
    void Load() { player.Initialize(); }
    // Starts the music and seeks it (and so the show) to `startTime` ms; the
    // beat channels drop their marks before it. A negative time starts at 0.
    void StartMusic(int startTime);

    MusicStream music;
    Adapter::Graphics graphics;
    DemoPlayer player;
};

} // namespace Demo
