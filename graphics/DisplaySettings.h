#pragma once

namespace Adapter {

// Where the show is drawn.
enum class Surface {
    FullScreen, // the whole screen, at the desktop's own size
    Window,     // a window of the given size
    Offscreen,  // a frame of the given size in an off-screen buffer (rendering)
};

// At what size the scenes are drawn.
enum class DrawingSize {
    Automatic, // Classic on a software rasteriser, Native elsewhere
    Native,    // at the picture's size on the output: every pixel drawn
    Classic,   // at the design's 1024 x 600, scaled up (or down) to the output
};

// How the show opens its output; the defaults are the live program's.
struct DisplaySettings {
    Surface surface = Surface::FullScreen;
    // Window or frame size in pixels; the full screen takes the desktop's.
    int width = 0;
    int height = 0;
    DrawingSize drawing = DrawingSize::Automatic;
    // One frame per screen refresh. Off where frames are measured or
    // captured rather than shown.
    bool vsync = false;
};

} // namespace Adapter
