#include "tests/support/SceneChecks.h"

#include <GL/gl.h>
#include <cstdlib>

namespace TestSupport {

void ExpectStateHandedOn()
{
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing left on";
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending left on";
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << "depth test left on";
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog left on";
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "lighting left on";
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "face culling left on";
    // Drawing stays inside the letterbox: the bands are never touched.
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST)) << "letterbox scissor left off";
    EXPECT_EQ(ScissorBox(), pictureBox) << "letterbox scissor box";
    EXPECT_EQ(Viewport(), pictureBox) << "letterbox viewport";
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites) << "depth writes left off";
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(ModelviewDepth(), 1);
}

void ClearPicture()
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

::testing::AssertionResult Near(const Rgba& pixel, int r, int g, int b, int tolerance)
{
    if (std::abs(pixel.r - r) <= tolerance && std::abs(pixel.g - g) <= tolerance && std::abs(pixel.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << pixel.r << ", " << pixel.g << ", " << pixel.b
                                         << ") is not within " << tolerance << " of (" << r << ", " << g << ", "
                                         << b << ")";
}

int MaxChannel(const std::vector<unsigned char>& window, int channel)
{
    int most = 0;
    for (int y = pictureTop; y <= pictureBottom; ++y)
        for (int x = 0; x < windowWidth; ++x)
            most = std::max(most, static_cast<int>(PixelAt(window, x, y)[channel]));
    return most;
}

int CountAbove(const std::vector<unsigned char>& window, int channel, int threshold)
{
    int count = 0;
    for (int y = pictureTop; y <= pictureBottom; ++y)
        for (int x = 0; x < windowWidth; ++x)
            count += PixelAt(window, x, y)[channel] > threshold ? 1 : 0;
    return count;
}

} // namespace TestSupport
