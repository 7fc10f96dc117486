#pragma once
// Checks shared by the scene tests: the GL state a scene must hand on, and
// simple measurements of the letterboxed picture.
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <vector>

namespace TestSupport {

// What every scene may assume when it starts, and so must hand on:
// texturing, blending, depth test, fog, lighting and face culling off, depth
// writes on, the letterbox viewport with its scissor in force, modelview at
// stack depth 1, matrix mode modelview.
void ExpectStateHandedOn();

// Clears colour and depth inside the letterbox, as the clear scene does.
void ClearPicture();

// Channel values are within `tolerance` of (r, g, b).
::testing::AssertionResult Near(const Rgba& pixel, int r, int g, int b, int tolerance = 2);

// Largest value of `channel` (0 red .. 2 blue) inside the picture area.
int MaxChannel(const std::vector<unsigned char>& window, int channel);
// Pixels inside the picture area whose channel exceeds `threshold`.
int CountAbove(const std::vector<unsigned char>& window, int channel, int threshold);

// Solid picture colours for scene tests.
const Texel blackTexel = {0, 0, 0, 255};
const Texel whiteTexel = {255, 255, 255, 255};
const Texel redTexel = {255, 0, 0, 255};
const Texel greenTexel = {0, 255, 0, 255};
const Texel blueTexel = {0, 0, 255, 255};
const Texel clearTexel = {0, 0, 0, 0};

// One scene in the real window, loading from a scratch data/ folder the test
// fills. Frame() clears the picture, then lets the scene draw one frame.
template <class Scene>
class SceneTest : public GlTest {
protected:
    void Frame(unsigned time, unsigned delta, int syncEvent)
    {
        ClearPicture();
        scene.Render(*graphics, time, delta, syncEvent);
    }

    TestData data;
    Scene scene;
};

inline const unsigned char* PixelAt(const std::vector<unsigned char>& window, int x, int yFromTop)
{
    return &window[(static_cast<size_t>(yFromTop) * windowWidth + static_cast<size_t>(x)) * 4];
}

} // namespace TestSupport
