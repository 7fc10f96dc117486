#pragma once
#include "graphics/FrameSize.h"
#include "runtime/ShowEnd.h"

#include <string>

namespace Render {

struct RenderOptions {
    // Frame rate as a fraction, e.g. 60/1 or 60000/1001.
    unsigned rateNumerator = 60;
    unsigned rateDenominator = 1;
    unsigned start = 0;     // ms of music time, first frame
    unsigned end = Demo::showEnd; // ms, frames strictly before it
    // Frame size in pixels; the picture is fitted into it, black around it.
    int width = Adapter::screenWidth;
    int height = Adapter::screenHeight;
    std::string framesDir; // a folder of numbered PNG files
    std::string videoFile; // or a video with the soundtrack muxed in
    // Plays from 0 on the whole show's frame grid and writes only the frames
    // from `start` on, so that they equal those of a whole-show render.
    bool preroll = false;
    bool help = false;
};

// Parses GNU-style options; throws std::invalid_argument with a message
// for anything it cannot accept (a bad number, an empty range, no output).
RenderOptions ParseRenderOptions(int argc, char** argv);

// Music time at which playing begins: 0 with a pre-roll, else the start.
unsigned PlayStart(const RenderOptions& options);
// Music time of frame n on the frame grid: PlayStart + floor(n * 1000 / fps).
unsigned FrameTime(const RenderOptions& options, unsigned long long frame);
// Number of frames played, those whose time lies in [PlayStart, end).
unsigned long long FrameCount(const RenderOptions& options);
// The first frame that is written, the first whose time reaches the start
// (0 without a pre-roll).
unsigned long long FirstWrittenFrame(const RenderOptions& options);

// The text of --help.
std::string RenderUsage();

} // namespace Render
