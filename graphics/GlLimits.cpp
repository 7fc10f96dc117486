#include "graphics/GlLimits.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cstring>
#include <stdexcept>
#include <string>

namespace Adapter {

namespace {

std::string Size(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

void Check(int width, int height, int largestWidth, int largestHeight, const char* what, const char* limit)
{
    if (width >= 1 && height >= 1 && width <= largestWidth && height <= largestHeight)
        return;
    throw std::runtime_error(
        std::string(what) + " of " + Size(width, height) + " pixels exceeds the OpenGL driver's " + limit + " (" +
        (largestWidth == largestHeight ? std::to_string(largestWidth) + " a side" : Size(largestWidth, largestHeight)) +
        ")");
}

int Limit(GLenum name)
{
    GLint largest = 0;
    glGetIntegerv(name, &largest);
    return largest;
}

} // namespace

void CheckTextureSize(int width, int height, const char* what)
{
    const int largest = Limit(GL_MAX_TEXTURE_SIZE);
    Check(width, height, largest, largest, what, "GL_MAX_TEXTURE_SIZE");
}

void CheckRenderbufferSize(int width, int height, const char* what)
{
    const int largest = Limit(GL_MAX_RENDERBUFFER_SIZE);
    Check(width, height, largest, largest, what, "GL_MAX_RENDERBUFFER_SIZE");
}

void CheckViewportSize(int width, int height, const char* what)
{
    GLint largest[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    Check(width, height, largest[0], largest[1], what, "GL_MAX_VIEWPORT_DIMS");
}

bool HasGlExtension(const char* extension)
{
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(extension);
    for (const char* at = list; at && (at = std::strstr(at, extension)) != nullptr; at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

} // namespace Adapter
