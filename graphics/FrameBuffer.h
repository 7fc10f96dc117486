#pragma once
#include "graphics/PictureFit.h"

#include <GL/gl.h>
#include <string>

namespace Adapter {

struct FramebufferCalls;

// An off-screen drawing surface: a framebuffer object with an RGBA colour
// buffer (8 bits each, alpha included, as the window has) and a 24-bit depth
// buffer. While bound, every draw, clear, read-back and texture copy goes to
// it instead of the window.
class FrameBuffer {
public:
    // Whether the driver offers framebuffer objects (OpenGL 3.0, or the
    // GL_ARB_framebuffer_object extension, or GL_EXT_framebuffer_object with
    // GL_EXT_framebuffer_blit); where not, `why` says what it lacks. Setting
    // RUVO_NO_FRAMEBUFFER_OBJECTS pretends a driver without them. Needs the
    // window's GL context.
    static bool Supported(std::string* why = nullptr);

    // Needs the window's GL context; throws std::runtime_error where the
    // driver has no framebuffer objects or refuses the size.
    FrameBuffer(int width, int height);
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // Draws and reads from here on go to this surface.
    void Bind();
    // Copies the whole surface, linearly filtered, into `box` of the window's
    // frame buffer (black elsewhere), then binds this surface again.
    void CopyToWindow(const PixelBox& box);

    const int width;
    const int height;

private:
    const FramebufferCalls& gl;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    GLint window = 0; // the window's own framebuffer, as the context had it bound
};

} // namespace Adapter
