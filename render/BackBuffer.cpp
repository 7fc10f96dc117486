#include "render/BackBuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>

namespace Render {

namespace {
const int bytesPerPixel = 4;
}

void ReadBackBuffer(std::vector<unsigned char>& pixels, int width, int height)
{
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    pixels.resize(rowBytes * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // A framebuffer object reads from its first colour attachment, the one
    // the frame is drawn into, from its creation on; GL_BACK names no buffer
    // of it (asking for it is an error). Only the window is told.
    GLint framebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer);
    if (framebuffer == 0)
        glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // GL counts rows from the bottom.
    for (int row = 0; row < height / 2; ++row) {
        unsigned char* top = &pixels[row * rowBytes];
        std::swap_ranges(top, top + rowBytes, &pixels[(height - 1 - row) * rowBytes]);
    }
}

void ReadFrame(std::vector<unsigned char>& pixels, int width, int height)
{
    ReadBackBuffer(pixels, width, height);
    for (size_t i = bytesPerPixel - 1; i < pixels.size(); i += bytesPerPixel)
        pixels[i] = 255;
}

} // namespace Render
