#include "graphics/FrameBuffer.h"

#include <GL/glext.h>
#include <SDL/SDL.h>
#include <stdexcept>
#include <string>

namespace Adapter {

namespace {

// The framebuffer entry points, looked up through SDL: its compatibility
// layer may stand between the program and the driver's own.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

template <typename Call>
void Find(Call& call, const char* name)
{
    call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name));
    if (!call)
        throw std::runtime_error(std::string("The OpenGL driver has no ") + name + " (framebuffer objects)");
}

const FramebufferCalls& Calls()
{
    static FramebufferCalls calls = [] {
        FramebufferCalls found{};
        Find(found.genFramebuffers, "glGenFramebuffers");
        Find(found.deleteFramebuffers, "glDeleteFramebuffers");
        Find(found.bindFramebuffer, "glBindFramebuffer");
        Find(found.genRenderbuffers, "glGenRenderbuffers");
        Find(found.deleteRenderbuffers, "glDeleteRenderbuffers");
        Find(found.bindRenderbuffer, "glBindRenderbuffer");
        Find(found.renderbufferStorage, "glRenderbufferStorage");
        Find(found.framebufferRenderbuffer, "glFramebufferRenderbuffer");
        Find(found.checkFramebufferStatus, "glCheckFramebufferStatus");
        Find(found.blitFramebuffer, "glBlitFramebuffer");
        return found;
    }();
    return calls;
}

} // namespace

FrameBuffer::FrameBuffer(int width, int height) : width(width), height(height)
{
    const FramebufferCalls& gl = Calls();
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width < 1 || height < 1 || width > largest || height > largest)
        throw std::runtime_error("The OpenGL driver cannot draw frames of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " (at most " + std::to_string(largest) + " a side)");
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &window);
    gl.genRenderbuffers(1, &colour);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colour);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl.genRenderbuffers(1, &depth);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depth);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const GLenum status = gl.checkFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(window));
        gl.deleteFramebuffers(1, &framebuffer);
        gl.deleteRenderbuffers(1, &depth);
        gl.deleteRenderbuffers(1, &colour);
        throw std::runtime_error("The OpenGL driver cannot draw off screen (framebuffer status " +
                                 std::to_string(status) + ")");
    }
}

FrameBuffer::~FrameBuffer()
{
    const FramebufferCalls& gl = Calls();
    gl.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(window));
    gl.deleteFramebuffers(1, &framebuffer);
    gl.deleteRenderbuffers(1, &depth);
    gl.deleteRenderbuffers(1, &colour);
}

void FrameBuffer::Bind() { Calls().bindFramebuffer(GL_FRAMEBUFFER, framebuffer); }

void FrameBuffer::CopyToWindow(const PixelBox& box)
{
    const FramebufferCalls& gl = Calls();
    // Both the clear and the copy obey the scissor box, which holds the
    // scenes' picture area of this surface, not the window's.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    gl.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(window));
    // The window's bands are cleared every frame: after a swap the back
    // buffer's old contents are undefined.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl.blitFramebuffer(0, 0, width, height, box.x, box.y, box.x + box.width, box.y + box.height,
                       GL_COLOR_BUFFER_BIT, GL_LINEAR);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
}

} // namespace Adapter
