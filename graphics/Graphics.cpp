#include "graphics/Graphics.h"
#include "platform/Platform.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstring>
#include <stdexcept>

namespace Adapter {

const char* const windowCaption = "ruvo - demo@example.org";

Graphics::Graphics()
    : windowWidth(screenWidth), windowHeight(screenHeight), viewportWidth(0), viewportHeight(0), zNear(0), zFar(0)
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0)
        throw std::runtime_error(SDL_GetError());
    // Without a display SDL 2 falls back to drivers that draw nowhere: the
    // show would play to nobody, so that counts as having no display.
    char driver[32] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        throw std::runtime_error("No available video device");

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);

    if (!SDL_SetVideoMode(windowWidth, windowHeight, 0, SDL_OPENGL | SDL_FULLSCREEN))
        throw std::runtime_error(SDL_GetError());

    InitializeDisplay();
}

Graphics::~Graphics() { SDL_Quit(); }

Medium::IOutputMedium& Graphics::Draw(Drawables::IDrawable& drawable)
{
    drawable.Draw(*this);
    return *this;
}

void Graphics::InitializeDisplay()
{
    // Both buffers of the swap chain start black: the letterbox bands keep it.
    for (int i = 0; i < 10; ++i) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Present();
    }
    SetPerspective(windowWidth, windowHeight, perspectiveFovY, perspectiveZNear, perspectiveZFar, true);
    SDL_WM_SetCaption(windowCaption, nullptr);
    glEnable(GL_SCISSOR_TEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    SDL_ShowCursor(SDL_DISABLE);
}

void Graphics::SetPerspective(int width, int height, float fovY, float nearPlane, float farPlane, bool centred)
{
    zNear = nearPlane;
    zFar = farPlane;
    viewportWidth = width;
    viewportHeight = height;
    int x = 0;
    int y = 0;
    if (centred) {
        x = (windowWidth - width) / 2;
        y = (windowHeight - height) / 2;
    }
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY, static_cast<double>(width) / static_cast<double>(height), zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
}

void Graphics::SetLetterboxPerspective()
{
    SetPerspective(pictureWidth, pictureHeight, perspectiveFovY, perspectiveZNear, perspectiveZFar, true);
}

void Graphics::Present() { SDL_GL_SwapBuffers(); }

GLuint Graphics::AllocateTexture(const char* fileName)
{
    GLuint name = 0;
    if (!fileName) {
        glGenTextures(1, &name);
        return name;
    }
    auto found = textures.find(fileName);
    if (found != textures.end()) {
        Platform::DebugOutput("Graphics::AllocateTexture - Reuse texture ");
        Platform::DebugOutput(fileName);
        Platform::DebugOutput("\n");
        return found->second;
    }
    Platform::DebugOutput("Graphics::AllocateTexture - New texture ");
    Platform::DebugOutput(fileName);
    Platform::DebugOutput("\n");
    glGenTextures(1, &name);
    textures.emplace(fileName, name);
    return name;
}

InputRequest PollQuitKey()
{
    InputRequest result = InputNone;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            if (result == InputNone)
                result = InputStop;
        } else if (event.type == SDL_KEYDOWN) {
            if (event.key.keysym.sym == SDLK_ESCAPE)
                result = InputStop;
            else if (event.key.keysym.sym == SDLK_SPACE)
                result = InputSpace;
        }
    }
    return result;
}

} // namespace Adapter
