#include "graphics/FrameBuffer.h"
#include "graphics/GlLimits.h"

#include <GL/glext.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace Adapter {

// The framebuffer entry points, looked up through SDL: its compatibility
// layer may stand between the program and the driver's own. The extension's
// EXT entry points take the same values as the core ones.
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

namespace {

// The first OpenGL version with framebuffer objects in its core.
constexpr int coreMajorVersion = 3;

// A lookup answers for any name (glXGetProcAddress makes up an entry point
// for names it does not know), so it is only asked once the version or the
// extension string has promised the names; a null is still taken as none.
template <typename Call> bool Find(Call& call, const std::string& name)
{
    call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name.c_str()));
    return call != nullptr;
}

bool FindAll(FramebufferCalls& found, const std::string& suffix)
{
    return Find(found.genFramebuffers, "glGenFramebuffers" + suffix) &&
           Find(found.deleteFramebuffers, "glDeleteFramebuffers" + suffix) &&
           Find(found.bindFramebuffer, "glBindFramebuffer" + suffix) &&
           Find(found.genRenderbuffers, "glGenRenderbuffers" + suffix) &&
           Find(found.deleteRenderbuffers, "glDeleteRenderbuffers" + suffix) &&
           Find(found.bindRenderbuffer, "glBindRenderbuffer" + suffix) &&
           Find(found.renderbufferStorage, "glRenderbufferStorage" + suffix) &&
           Find(found.framebufferRenderbuffer, "glFramebufferRenderbuffer" + suffix) &&
           Find(found.checkFramebufferStatus, "glCheckFramebufferStatus" + suffix) &&
           Find(found.blitFramebuffer, "glBlitFramebuffer" + suffix);
}

// The extension string holds names separated by blanks: a name must match
// whole, not as the start of a longer one.
const char* GlString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// The entry points this driver offers, or null; `why` says what it lacks.
const FramebufferCalls* Lookup(std::string& why)
{
    const char* pretend = std::getenv("RUVO_NO_FRAMEBUFFER_OBJECTS");
    if (pretend && *pretend && std::strcmp(pretend, "0") != 0) {
        why = "framebuffer objects turned off by RUVO_NO_FRAMEBUFFER_OBJECTS";
        return nullptr;
    }
    const char* version = GlString(GL_VERSION);
    int major = 0;
    const bool core = std::sscanf(version, "%d.", &major) == 1 && major >= coreMajorVersion;
    // Core and ARB names are the same; the older extension names its entry
    // points with EXT, and its blit comes in an extension of its own.
    if (core || HasGlExtension("GL_ARB_framebuffer_object")) {
        static FramebufferCalls coreCalls{};
        static const bool coreFound = FindAll(coreCalls, "");
        if (coreFound)
            return &coreCalls;
    } else if (HasGlExtension("GL_EXT_framebuffer_object") &&
               HasGlExtension("GL_EXT_framebuffer_blit")) {
        static FramebufferCalls extCalls{};
        static const bool extFound = FindAll(extCalls, "EXT");
        if (extFound)
            return &extCalls;
    }
    why = std::string("the OpenGL driver (version ") + version +
          ") has no framebuffer objects: neither OpenGL 3.0, nor GL_ARB_framebuffer_object, nor "
          "GL_EXT_framebuffer_object with GL_EXT_framebuffer_blit";
    return nullptr;
}

const FramebufferCalls& Required()
{
    std::string why;
    const FramebufferCalls* calls = Lookup(why);
    if (!calls)
        throw std::runtime_error("Cannot draw off screen: " + why);
    return *calls;
}

} // namespace

bool FrameBuffer::Supported(std::string* why)
{
    std::string reason;
    const bool supported = Lookup(reason) != nullptr;
    if (why)
        *why = reason;
    return supported;
}

FrameBuffer::FrameBuffer(int width, int height) : width(width), height(height), gl(Required())
{
    CheckRenderbufferSize(width, height, "An off-screen frame");
    CheckViewportSize(width, height, "An off-screen frame");
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
    gl.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(window));
    gl.deleteFramebuffers(1, &framebuffer);
    gl.deleteRenderbuffers(1, &depth);
    gl.deleteRenderbuffers(1, &colour);
}

void FrameBuffer::Bind() { gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer); }

void FrameBuffer::CopyToWindow(const PixelBox& box)
{
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
