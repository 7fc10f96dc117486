#include "support/GlTest.h"
#include "runtime/Timeline.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cmath>
#include <cstdlib>

namespace TestSupport {

Rgba ReadPixel(int x, int yFromTop)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, 767 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

std::vector<unsigned char> ReadWindow()
{
    std::vector<unsigned char> bottomUp(1024 * 768 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    for (int row = 0; row < 768; ++row)
        std::copy_n(&bottomUp[(767 - row) * 1024 * 4], 1024 * 4, &topDown[row * 1024 * 4]);
    return topDown;
}

void SaveWindowBmp(const std::string& path)
{
    std::vector<unsigned char> pixels = ReadWindow();
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(pixels.data(), 1024, 768, 32, 1024 * 4, 0x000000FF,
                                                    0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface) {
        SDL_SaveBMP(surface, path.c_str());
        SDL_FreeSurface(surface);
    }
}

std::vector<float> ModelviewMatrix()
{
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

int ModelviewDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

bool IsIdentity(const std::vector<float>& m, float tolerance)
{
    for (int i = 0; i < 16; ++i) {
        const float expected = (i % 5 == 0) ? 1.0f : 0.0f;
        if (std::fabs(m[i] - expected) > tolerance)
            return false;
    }
    return true;
}

void DrawQuadSampling(float s, float t)
{
    glBegin(GL_QUADS);
    glTexCoord2f(s, t);
    glVertex3f(-1, -1, -5);
    glVertex3f(1, -1, -5);
    glVertex3f(1, 1, -5);
    glVertex3f(-1, 1, -5);
    glEnd();
}

std::string BuildDir() { return RUVO_BINARY_DIR; }
std::string SourceDir() { return RUVO_SOURCE_DIR; }

void GlTest::SetUp()
{
    graphics.reset(new Adapter::Graphics);
    graphics->SetPerspective(1024, 600, 45, 0.1f, 1000, true);
}

void GlTest::TearDown()
{
    // Leave nothing drawn behind for the next window of the process.
    glFinish();
    graphics.reset();
}

ScriptedShow::ScriptedShow()
{
    Platform::UseSoundSystem(&clock);
    music.reset(new Demo::MusicStream);
    graphics.reset(new Adapter::Graphics);
    graphics->SetPerspective(1024, 600, 45, 0.1f, 1000, true);
    player.reset(new Demo::DemoPlayer(*graphics, *music));
}

ScriptedShow::~ScriptedShow()
{
    player.reset();
    graphics.reset();
    music.reset();
    Platform::UseSoundSystem(nullptr);
}

void ScriptedShow::LoadTimeline()
{
    Demo::BuildTimeline(*player);
    player->Initialize();
    music->Play();
}

void ScriptedShow::Frame(unsigned time)
{
    clock.SetPosition(time);
    player->DrawFrame();
}

} // namespace TestSupport
