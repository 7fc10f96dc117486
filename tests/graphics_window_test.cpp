#include "graphics/FrameBuffer.h"
#include "graphics/GlLimits.h"
#include "tests/support/GlTest.h"
#include "tests/support/OwnWindows.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>
#include <SDL/SDL.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <stdexcept>
#include <string>

using TestSupport::GlTest;
using TestSupport::ReadPixel;
using TestSupport::ScissorBox;
using TestSupport::Viewport;

namespace {

// The swap control last asked of SDL, and what it was when the mode was set
// (SDL applies it there). Every call of the program passes through these
// first: the test binary's own definitions come before SDL's library.
int swapControl = -1;
int swapControlAtMode = -1;

} // namespace

extern "C" int SDL_GL_SetAttribute(SDL_GLattr attribute, int value)
{
    using Call = int (*)(SDL_GLattr, int);
    static const Call sdl = reinterpret_cast<Call>(dlsym(RTLD_NEXT, "SDL_GL_SetAttribute"));
    if (attribute == SDL_GL_SWAP_CONTROL)
        swapControl = value;
    return sdl(attribute, value);
}

extern "C" SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags)
{
    using Call = SDL_Surface* (*)(int, int, int, Uint32);
    static const Call sdl = reinterpret_cast<Call>(dlsym(RTLD_NEXT, "SDL_SetVideoMode"));
    swapControlAtMode = swapControl;
    return sdl(width, height, bitsPerPixel, flags);
}

namespace {

void PushKey(SDLKey key, Uint8 type = SDL_KEYDOWN)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void PushQuit()
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void DrainStartupEvents()
{
    while (Adapter::PollQuitKey() != Adapter::InputNone) {
    }
}

} // namespace

TEST_F(GlTest, DisplayStateAfterConstructionAndLetterbox)
{
    GLint alphaBits = 0, depthBits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(alphaBits, 8);
    EXPECT_GE(depthBits, 24);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(Viewport(), TestSupport::pictureBox);
    EXPECT_EQ(ScissorBox(), TestSupport::pictureBox);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(graphics->viewportWidth, 1024);
    EXPECT_EQ(graphics->viewportHeight, 600);
    EXPECT_FLOAT_EQ(graphics->zNear, 0.1f);
    EXPECT_FLOAT_EQ(graphics->zFar, 1000.0f);

    // The projection is gluPerspective(45, 1024/600, 0.1, 1000).
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(p[0], f / (1024.0 / 600.0), 1e-5);
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[10], -(1000.0 + 0.1) / (1000.0 - 0.1), 1e-5);
    EXPECT_NEAR(p[11], -1.0, 1e-6);

    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(std::strncmp(caption, "ruvo - ", 7), 0);
}

TEST_F(GlTest, ClearsReachOnlyTheLetterbox)
{
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    using TestSupport::pictureBottom;
    using TestSupport::pictureTop;
    for (int y : {0, pictureTop - 1, pictureBottom + 1, TestSupport::windowHeight - 1})
        EXPECT_EQ(ReadPixel(512, y).r, 0) << "band row " << y;
    for (int y : {pictureTop, 400, pictureBottom})
        EXPECT_EQ(ReadPixel(512, y).r, 255) << "picture row " << y;
}

TEST_F(GlTest, SetPerspectiveOffsets)
{
    graphics->SetPerspective(1024, 768, 45, 0.1f, 1000, true);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 1024, 768}));
    graphics->SetPerspective(1024, 601, 45, 0.1f, 1000, true);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 83, 1024, 601}));
    EXPECT_EQ(ScissorBox(), (std::array<int, 4>{0, 83, 1024, 601}));
    graphics->SetPerspective(512, 512, 45, 0.1f, 1000, true);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{256, 128, 512, 512}));
    graphics->SetPerspective(1024, 600, 45, 0.1f, 1000, false);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 1024, 600}));
    EXPECT_EQ(graphics->viewportHeight, 600);
}

TEST_F(GlTest, PollQuitKeyKeepsAStopRequestWhateverFollows)
{
    DrainStartupEvents();
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputNone);

    // A key pressed after Escape, or after the window was closed, within one
    // frame must not cancel the stop.
    PushKey(SDLK_ESCAPE);
    PushKey(SDLK_SPACE);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);

    PushKey(SDLK_SPACE);
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);

    PushQuit();
    PushKey(SDLK_SPACE);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);

    PushKey(SDLK_SPACE);
    PushQuit();
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);

    PushKey(SDLK_SPACE);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputSpace);

    PushQuit();
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);

    PushKey(SDLK_ESCAPE, SDL_KEYUP);
    PushKey(SDLK_a);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputNone);

    // One call drains the whole queue.
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputStop);
    EXPECT_EQ(Adapter::PollQuitKey(), Adapter::InputNone);
}

TEST_F(GlTest, RegistryHandsOutOneNamePerFileName)
{
    const GLuint first = graphics->AllocateTexture("data/a.png");
    EXPECT_EQ(graphics->AllocateTexture("data/a.png"), first);
    EXPECT_NE(graphics->AllocateTexture("data//a.png"), first);
    const GLuint fresh1 = graphics->AllocateTexture(nullptr);
    const GLuint fresh2 = graphics->AllocateTexture(nullptr);
    EXPECT_NE(fresh1, fresh2);
    EXPECT_EQ(graphics->textures.size(), 2u);
}

// Live play asks for one frame a refresh, the renderer and the bench for
// none: checked where it is asked, on the attribute SDL holds when the mode
// is set (the test display's GL may have no swap control to show it by).
// Where the GLX driver does offer swap control it must also be in force.
TEST(GraphicsVsync, TheSwapIntervalAskedForIsTheOneInForce)
{
    for (const bool vsync : {true, false}) {
        Adapter::DisplaySettings settings = TestSupport::TestWindow();
        settings.vsync = vsync;
        swapControl = swapControlAtMode = -1;
        Adapter::Graphics graphics(settings);
        EXPECT_EQ(swapControlAtMode, vsync ? 1 : 0) << "the swap control asked of SDL when the mode was set";
        const char* extensions = glXQueryExtensionsString(glXGetCurrentDisplay(), 0);
        const bool reported = extensions && std::strstr(extensions, "_swap_control");
        if (reported)
            EXPECT_EQ(graphics.SwapInterval(), vsync ? 1 : 0);
        else
            EXPECT_NE(graphics.SwapInterval(), 1) << "no swap control, yet one frame a refresh";
    }
}

namespace {

// Pretends, for one scope, a driver without framebuffer objects.
class NoFramebufferObjects {
public:
    NoFramebufferObjects() { setenv("RUVO_NO_FRAMEBUFFER_OBJECTS", "1", 1); }
    ~NoFramebufferObjects() { unsetenv("RUVO_NO_FRAMEBUFFER_OBJECTS"); }
    NoFramebufferObjects(const NoFramebufferObjects&) = delete;
    NoFramebufferObjects& operator=(const NoFramebufferObjects&) = delete;
};

// A 1280 x 720 window fits the picture at 1229 x 720, 25 pixels in.
Adapter::DisplaySettings ClassicWindow()
{
    Adapter::DisplaySettings settings;
    settings.surface = Adapter::Surface::Window;
    settings.width = 1280;
    settings.height = 720;
    settings.drawing = Adapter::DrawingSize::Classic;
    return settings;
}

std::array<int, 4> BoxOf(const Adapter::PictureFit& fit)
{
    return {fit.box.x, fit.box.y, fit.box.width, fit.box.height};
}

} // namespace

// Classic drawing draws at the design's 1024 x 600 off screen; without
// framebuffer objects it draws at the window's own size instead, the picture
// fitted as natively, and the run goes on.
TEST(GraphicsSurface, ClassicDrawingFallsBackToTheWindowWithoutFramebufferObjects)
{
    {
        Adapter::Graphics graphics(ClassicWindow());
        EXPECT_TRUE(graphics.Classic());
        EXPECT_EQ(graphics.WindowWidth(), 1024);
        EXPECT_EQ(graphics.WindowHeight(), 600);
        EXPECT_EQ(BoxOf(graphics.Fit()), (std::array<int, 4>{0, 0, 1024, 600}));
    }
    const NoFramebufferObjects pretend;
    std::string why;
    EXPECT_FALSE(Adapter::FrameBuffer::Supported(&why));
    EXPECT_NE(why.find("RUVO_NO_FRAMEBUFFER_OBJECTS"), std::string::npos) << why;
    Adapter::Graphics graphics(ClassicWindow());
    EXPECT_FALSE(graphics.Classic());
    EXPECT_EQ(graphics.WindowWidth(), 1280);
    EXPECT_EQ(graphics.WindowHeight(), 720);
    EXPECT_EQ(BoxOf(graphics.Fit()), (std::array<int, 4>{25, 0, 1229, 720}));
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 1280, 720}));
}

// Frames drawn off screen (the renderer, the bench) need framebuffer objects:
// without them construction fails with a message saying so, and the window
// it had opened is closed by the time the error can be shown.
TEST(GraphicsSurface, AFailedConstructionClosesItsWindow)
{
    {
        const Adapter::Graphics graphics(TestSupport::TestWindow());
        ASSERT_EQ(TestSupport::WindowsOfThisProcess(), 1) << "the check does not see this process's window";
    }
    const NoFramebufferObjects pretend;
    Adapter::DisplaySettings offscreen;
    offscreen.surface = Adapter::Surface::Offscreen;
    try {
        const Adapter::Graphics graphics(offscreen);
        FAIL() << "drawn off screen without framebuffer objects";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("framebuffer objects"), std::string::npos) << error.what();
        EXPECT_EQ(TestSupport::WindowsOfThisProcess(), 0) << "the window outlived the failed construction";
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
}

// Sizes beyond the driver's limits are refused with the size and the limit,
// before anything of that size is made.
TEST_F(GlTest, SizesBeyondTheDriversLimitsAreRefusedByName)
{
    GLint renderbuffers = 0, textures = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffers);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textures);
    ASSERT_GT(renderbuffers, 0);
    ASSERT_GT(textures, 0);
    const auto expectRefusal = [](auto make, const std::string& size, const std::string& limit) {
        try {
            make();
            ADD_FAILURE() << size << " was not refused";
        } catch (const std::runtime_error& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(size), std::string::npos) << message;
            EXPECT_NE(message.find(limit), std::string::npos) << message;
        }
    };
    expectRefusal([&] { Adapter::FrameBuffer(renderbuffers + 1, 16); }, std::to_string(renderbuffers + 1) + " x 16",
                  std::to_string(renderbuffers) + " a side");
    expectRefusal([&] { Adapter::CheckTextureSize(16, textures + 1, "A texture"); },
                  "16 x " + std::to_string(textures + 1), std::to_string(textures) + " a side");
    // What the driver holds passes.
    Adapter::CheckTextureSize(textures, 1, "A texture");
    const Adapter::FrameBuffer largest(1, renderbuffers);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
