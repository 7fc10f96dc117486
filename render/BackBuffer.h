#pragma once
// Reading back what the show drew, for the renderer and for tests alike.
#include "graphics/Graphics.h"

#include <vector>

namespace Render {

const int frameWidth = Adapter::screenWidth;
const int frameHeight = Adapter::screenHeight;

// The colour buffer being drawn (the window's back buffer, or the off-screen
// frame) as RGBA, rows from the top, alpha as drawn: `width` x `height`
// pixels from its lower left corner, by default a 1024 x 768 window's. `pixels` is resized to fit; once it has the
// size, nothing is allocated.
void ReadBackBuffer(std::vector<unsigned char>& pixels, int width = frameWidth, int height = frameHeight);

// The same as one frame of the show: every pixel opaque, since a frame is
// what is on screen and the alpha the scenes leave behind is not.
void ReadFrame(std::vector<unsigned char>& pixels, int width = frameWidth, int height = frameHeight);

} // namespace Render
