#include "tests/support/GlTest.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <SDL/SDL.h>
#include <cmath>
#include <cstring>

using TestSupport::GlTest;
using TestSupport::ReadPixel;
using TestSupport::ScissorBox;
using TestSupport::Viewport;

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
// none. Where the GLX driver offers swap control it must report what was
// asked; Xvfb's software GL offers none and reports 0 either way.
TEST(GraphicsVsync, TheSwapIntervalAskedForIsTheOneInForce)
{
    for (const bool vsync : {true, false}) {
        Adapter::DisplaySettings settings;
        settings.vsync = vsync;
        Adapter::Graphics graphics(settings);
        const char* extensions = glXQueryExtensionsString(glXGetCurrentDisplay(), 0);
        const bool reported = extensions && std::strstr(extensions, "_swap_control");
        if (reported)
            EXPECT_EQ(graphics.swapInterval, vsync ? 1 : 0);
        else
            EXPECT_NE(graphics.swapInterval, 1) << "no swap control, yet one frame a refresh";
    }
}
