#include "graphics/Graphics.h"
#include "graphics/FrameBuffer.h"
#include "graphics/GlLimits.h"
#include "platform/Platform.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace Adapter {

const char* const windowCaption = "ruvo - demo@example.org";

namespace {

// Renderer names of Mesa's software rasterisers (llvmpipe, softpipe, the
// classic swrast and its DRI name).
bool IsSoftwareRenderer(const char* renderer)
{
    if (!renderer)
        return false;
    for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(renderer, name))
            return true;
    return false;
}

void Report(const std::string& line) { Platform::DebugOutput(line.c_str()); }

} // namespace

Graphics::SdlVideo::SdlVideo()
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        const std::string error = SDL_GetError();
        SDL_Quit();
        throw std::runtime_error(error);
    }
    // Without a display SDL falls back to drivers that draw nowhere (SDL 2's
    // offscreen and dummy) or as text on the terminal (classic SDL 1.2's
    // caca and aalib), none with OpenGL: that counts as having no display.
    char driver[32] = "";
    if (SDL_VideoDriverName(driver, sizeof driver))
        for (const char* nowhere : {"offscreen", "dummy", "caca", "aalib"})
            if (std::strcmp(driver, nowhere) == 0) {
                SDL_Quit();
                throw std::runtime_error("No available video device");
            }
}

Graphics::SdlVideo::~SdlVideo() { SDL_Quit(); }

Graphics::Graphics(const DisplaySettings& settings)
    : viewportWidth(0), viewportHeight(0), zNear(0), zFar(0), windowWidth(screenWidth), windowHeight(screenHeight),
      fit(screenWidth, screenHeight, pictureWidth, pictureHeight)
{
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, settings.vsync ? 1 : 0);

    OpenOutput(settings);
    ChooseSurface(settings);
    InitializeDisplay();
}

// The surface goes before SDL (its members are destroyed in reverse order):
// it needs the context, which SDL_Quit ends.
Graphics::~Graphics() = default;

void Graphics::OpenOutput(const DisplaySettings& settings)
{
    Uint32 flags = SDL_OPENGL;
    outputWidth = settings.width > 0 ? settings.width : screenWidth;
    outputHeight = settings.height > 0 ? settings.height : screenHeight;
    if (settings.surface == Surface::FullScreen) {
        // The desktop's own size, asked before any mode is set: a mode of
        // another size is scaled by SDL's compatibility layer, and without a
        // window manager not even to the whole screen.
        const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
        if (desktop && desktop->current_w > 0 && desktop->current_h > 0) {
            outputWidth = desktop->current_w;
            outputHeight = desktop->current_h;
        }
        flags |= SDL_FULLSCREEN;
    } else if (settings.surface == Surface::Offscreen) {
        // The window only carries the context; frames are drawn off screen.
        outputWidth = screenWidth;
        outputHeight = screenHeight;
    }
    if (!SDL_SetVideoMode(outputWidth, outputHeight, 0, flags))
        throw std::runtime_error(SDL_GetError());
    if (SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &swapInterval) != 0)
        swapInterval = -1;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    softwareRenderer = IsSoftwareRenderer(renderer);
    Report(std::string("Graphics - renderer ") + (renderer ? renderer : "unknown") +
           (softwareRenderer ? " (software)" : "") + ", swap interval " + std::to_string(swapInterval) + "\n");
}

bool Graphics::DrawsClassic(const DisplaySettings& settings, const PictureFit& onOutput)
{
    const bool wanted =
        settings.drawing == DrawingSize::Classic || (settings.drawing == DrawingSize::Automatic && softwareRenderer);
    // A picture of the design's own size is the same either way.
    if (!wanted || (onOutput.box.width == pictureWidth && onOutput.box.height == pictureHeight))
        return false;
    std::string why;
    if (FrameBuffer::Supported(&why))
        return true;
    Report("Graphics - cannot draw the classic way (" + why + "): the picture is drawn at the window's size\n");
    return false;
}

void Graphics::ChooseSurface(const DisplaySettings& settings)
{
    const PictureFit onOutput(outputWidth, outputHeight, pictureWidth, pictureHeight);
    if (settings.surface == Surface::Offscreen) {
        surface.reset(new FrameBuffer(settings.width > 0 ? settings.width : screenWidth,
                                      settings.height > 0 ? settings.height : screenHeight));
    } else {
        classic = DrawsClassic(settings, onOutput);
        if (classic) {
            surface.reset(new FrameBuffer(pictureWidth, pictureHeight));
            outputPicture = onOutput.box;
        }
    }
    if (surface) {
        surface->Bind();
        windowWidth = surface->width;
        windowHeight = surface->height;
    } else {
        windowWidth = outputWidth;
        windowHeight = outputHeight;
        CheckViewportSize(windowWidth, windowHeight, "A window");
    }
    fit = PictureFit(windowWidth, windowHeight, pictureWidth, pictureHeight);
    Report("Graphics - output " + std::to_string(outputWidth) + " x " + std::to_string(outputHeight) +
           ", picture drawn at " + std::to_string(fit.box.width) + " x " + std::to_string(fit.box.height) +
           (settings.surface == Surface::Offscreen ? " off screen"
            : classic ? " and scaled to " + std::to_string(outputPicture.width) + " x " +
                            std::to_string(outputPicture.height) + " (classic" +
                            (settings.drawing == DrawingSize::Automatic ? ": software renderer)" : ")")
                      : " (native)") +
           "\n");
}

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
    // The whole surface, in units as SetPerspective takes them.
    SetPerspective(static_cast<int>(std::lround(windowWidth / fit.pixelsPerUnit)),
                   static_cast<int>(std::lround(windowHeight / fit.pixelsPerUnit)), perspectiveFovY, perspectiveZNear,
                   perspectiveZFar, true);
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
    const int pixelWidth = Pixels(width);
    const int pixelHeight = Pixels(height);
    int x = 0;
    int y = 0;
    if (centred) {
        x = (windowWidth - pixelWidth) / 2;
        y = (windowHeight - pixelHeight) / 2;
    }
    glViewport(x, y, pixelWidth, pixelHeight);
    glScissor(x, y, pixelWidth, pixelHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY, static_cast<double>(width) / static_cast<double>(height), zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
}

void Graphics::SetLetterboxPerspective()
{
    SetPerspective(pictureWidth, pictureHeight, perspectiveFovY, perspectiveZNear, perspectiveZFar, true);
}

void Graphics::Present()
{
    if (classic)
        surface->CopyToWindow(outputPicture);
    SDL_GL_SwapBuffers();
}

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
    // The queue is drained whatever it holds, so a stop does not linger
    // into the next frame.
    while (SDL_PollEvent(&event)) {
        if (result == InputStop)
            continue;
        if (event.type == SDL_QUIT)
            result = InputStop;
        else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
            result = InputStop;
        else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_SPACE)
            result = InputSpace;
    }
    return result;
}

} // namespace Adapter
