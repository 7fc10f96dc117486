#pragma once
// Sizes of windows and frames, as the command lines of the show, the
// renderer and the benchmark give them.

namespace Adapter {

// The screen the show was made for, in pixels: the window size where no other
// is asked for, and the frame size of a render.
constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

// The longest side of a window or frame that is accepted: as large as any GL
// driver draws, and far beyond any screen.
constexpr int largestFrameSide = 16384;

// Reads "WxH" ("1920x1080"): two whole numbers of pixels from 1 to
// largestFrameSide in decimal digits, joined by a lower-case x, and nothing
// else (no sign, space or unit). Leaves width and height alone on failure.
bool ReadFrameSize(const char* text, int& width, int& height);

} // namespace Adapter
