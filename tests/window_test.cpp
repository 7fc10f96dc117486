#include "support/GlTest.h"

#include <GL/gl.h>

using TestSupport::GlTest;

TEST_F(GlTest, WindowHasAlphaAndLetterbox)
{
    GLint alphaBits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    EXPECT_EQ(alphaBits, 8);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1], 84);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(TestSupport::ReadPixel(10, 10).r, 0);
    EXPECT_EQ(TestSupport::ReadPixel(10, 100).r, 255);
}
