#pragma once
#include "render/FrameOutput.h"
#include "render/RenderOptions.h"

#include <functional>

namespace Render {

// Plays the show on the scripted clock, one frame per step of the frame grid,
// with the live program's session, loading step and frame step, and hands
// every frame from the start on, letterbox bands included, to an output.
class OfflineRenderer {
public:
    explicit OfflineRenderer(const RenderOptions& options) : options(options) {}

    // Called after each frame with (frames done, frames in all).
    using Progress = std::function<void(unsigned long long done, unsigned long long total)>;

    // Throws std::runtime_error on failure, and also when interrupted by a
    // stop signal or a closed window. The output is neither finished nor
    // abandoned here: that is the caller's decision.
    void Run(IFrameOutput& output, const Progress& progress);

private:
    RenderOptions options;
};

} // namespace Render
