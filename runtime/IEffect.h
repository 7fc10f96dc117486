#pragma once

namespace Adapter {
class Graphics;
}

namespace Demo {

// Beat event of a frame, handed to every active scene.
enum SyncEvent { SyncNone = 0, SyncBass = 1, SyncClap = 2 };

// A scene of the show.
class IEffect {
public:
    // Builds the scene's resources once, during loading.
    virtual void Init(Adapter::Graphics& graphics) { (void)graphics; }
    // Draws one frame. `time` is the music time in ms, `delta` the music time
    // since the previous frame (unsigned, so a step backwards wraps around).
    virtual void Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent) = 0;
    virtual ~IEffect() {}
};

} // namespace Demo
