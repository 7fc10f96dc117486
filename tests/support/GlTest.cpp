#include "tests/support/GlTest.h"
#include "render/BackBuffer.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

namespace TestSupport {

Rgba ReadPixel(int x, int yFromTop)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, windowHeight - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

std::vector<unsigned char> ReadWindow()
{
    std::vector<unsigned char> pixels;
    Render::ReadBackBuffer(pixels);
    return pixels;
}

std::array<int, 4> Viewport()
{
    std::array<int, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

std::array<int, 4> ScissorBox()
{
    std::array<int, 4> box{};
    glGetIntegerv(GL_SCISSOR_BOX, box.data());
    return box;
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

Adapter::DisplaySettings TestWindow()
{
    Adapter::DisplaySettings settings;
    settings.surface = Adapter::Surface::Window;
    settings.width = windowWidth;
    settings.height = windowHeight;
    return settings;
}

void GlTest::SetUp()
{
    graphics.reset(new Adapter::Graphics(TestWindow()));
    graphics->SetLetterboxPerspective();
}

void GlTest::TearDown()
{
    // Leave nothing drawn behind for the next window of the process.
    glFinish();
    graphics.reset();
}

ScriptedShow::ScriptedShow(Contents contents)
    : session(TestWindow()), player(&session.player), graphics(&session.graphics)
{
    if (contents == EmptyPlayer) {
        // The session always holds the timeline; its objects outlive it.
        session.player.effects.clear();
        session.player.channels.clear();
    }
}

void ScriptedShow::Frame(unsigned time)
{
    scope.clock.SetPosition(time);
    session.player.DrawFrame();
}

} // namespace TestSupport
