#pragma once
#include "runtime/IEffect.h"
#include "runtime/ISynchronizerChannel.h"
#include "runtime/ITimingElement.h"

#include <utility>
#include <vector>

namespace Adapter {
class Graphics;
}

namespace Demo {

class DisplayLead;
class MusicStream;

// Holds the scene list and the beat channels and advances the show one frame
// at a time against the music clock. It owns none of them.
class DemoPlayer {
public:
    DemoPlayer(Adapter::Graphics& graphics, MusicStream& music);

    void AddEffect(ITimingElement* timing, IEffect* effect);
    void AddChannel(ISynchronizerChannel* channel);

    // Shows the loading picture, then loads every channel and scene.
    void Initialize();
    // One frame: DrawFrame, then the buffer swap.
    void RenderFrame();
    // One frame without presenting it (what an offline renderer reads back).
    void DrawFrame();

    // Live play: from now on each frame is drawn, and beat marks fire, for
    // the moment the frame is seen rather than the moment the clock is read.
    // Without it (offline, on an exact clock) frames take the reading as it
    // is. The lead must outlive the player's frames.
    void FollowDisplay(DisplayLead* lead) { display = lead; }

    // Runs on an exact clock (offline, the benchmark) start here: the next
    // frame is taken to follow one drawn `firstStep` ms before `firstTime`,
    // so that its delta is a frame step like every later one. Live play does
    // without: its first delta counts from the SDL ticks at construction.
    void Start(unsigned firstTime, unsigned firstStep) { lastTime = firstTime - firstStep; }

    std::vector<std::pair<ITimingElement*, IEffect*>> effects;
    std::vector<ISynchronizerChannel*> channels;
    Adapter::Graphics& graphics;
    MusicStream& music;

private:
    unsigned lastTime; // the previous frame's time, for delta
    DisplayLead* display = nullptr;
};

} // namespace Demo
