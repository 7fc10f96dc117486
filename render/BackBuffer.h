#pragma once
// Reading back what the show drew, for the renderer and for tests alike.
#include <vector>

namespace Render {

const int frameWidth = 1024;
const int frameHeight = 768;

// The colour buffer being drawn (the back buffer) of the 1024 x 768 window
// as RGBA, rows from the top, alpha as drawn. `pixels` is resized to fit; once
// it has the size, nothing is allocated.
void ReadBackBuffer(std::vector<unsigned char>& pixels);

// The same as one frame of the show: every pixel opaque, since a frame is
// what is on screen and the alpha the scenes leave behind is not.
void ReadFrame(std::vector<unsigned char>& pixels);

} // namespace Render
