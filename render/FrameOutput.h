#pragma once
#include <cstddef>
#include <vector>

namespace Render {

// One finished frame: width x height RGBA pixels, rows from the top. The
// frame carries its own size, so that an output never assumes the window's.
struct Frame {
    int width;
    int height;
    const std::vector<unsigned char>& pixels;
    bool keepAlpha = false; // written as RGBA, for pictures with transparency (test data)
};

// Bytes of an RGBA frame of this size.
inline size_t FrameBytes(int width, int height) { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }

// What the renderer's own copies of frames may take together: the frame
// read back from GL and those waiting to be written. Large frames get fewer
// copies in flight; the GL driver's buffers for the frame come on top.
const size_t frameMemoryBudget = size_t(512) * 1024 * 1024;
// The copies a render cannot do with fewer: the one read back, and one being
// written while the next frame draws. A frame size for which these do not
// fit the budget is refused.
const unsigned fewestFramesHeld = 2;

// How many frames of this size fit the budget.
inline size_t FramesWithinBudget(int width, int height)
{
    const size_t bytes = FrameBytes(width, height);
    return bytes > 0 ? frameMemoryBudget / bytes : frameMemoryBudget;
}

// Where rendered frames go. Nothing is visible under the final name until
// Finish succeeds; Abandon (or destruction without Finish) removes what was
// written so far, unless Finish kept it under its scratch name and said so.
class IFrameOutput {
public:
    virtual ~IFrameOutput() {}
    virtual void Write(const Frame& frame) = 0; // throws std::runtime_error
    // Whether the frame of music time `time` is read back and written. Every
    // frame is drawn regardless, so scene and beat state stay those of play;
    // an output that needs only some frames saves the read-back of the rest.
    virtual bool Wants(unsigned time) const
    {
        (void)time;
        return true;
    }
    virtual void Finish() = 0;
    virtual void Abandon() = 0;
};

} // namespace Render
