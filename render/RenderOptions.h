#pragma once
#include <string>

namespace Render {

struct RenderOptions {
    // Frame rate as a fraction, e.g. 60/1 or 60000/1001.
    unsigned rateNumerator = 60;
    unsigned rateDenominator = 1;
    unsigned start = 0;     // ms of music time, first frame
    unsigned end = 204000;  // ms, frames strictly before it
    std::string framesDir; // a folder of numbered PNG files
    std::string videoFile; // or a video with the soundtrack muxed in
    bool help = false;
};

// Parses GNU-style options; throws std::invalid_argument with a message
// for anything it cannot accept (a bad number, an empty range, no output).
RenderOptions ParseRenderOptions(int argc, char** argv);

// Music time of frame n on the frame grid: start + floor(n * 1000 / fps).
unsigned FrameTime(const RenderOptions& options, unsigned long long frame);
// Number of frames whose time lies in [start, end).
unsigned long long FrameCount(const RenderOptions& options);

extern const char* const renderUsage;

} // namespace Render
