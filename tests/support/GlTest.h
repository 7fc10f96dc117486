#pragma once
// Helpers for tests that need the real window and GL context (run under the
// test display) and for tests that drive the show on a scripted clock.
#include "app/ShowSession.h"
#include "graphics/Graphics.h"
#include "platform/SoundSystem.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

// The window, and the letterboxed picture area the scenes draw into: 600 rows
// from row 84 to row 683 (counted from the top, both included), with a band
// above and below.
const int windowWidth = Adapter::screenWidth;
const int windowHeight = Adapter::screenHeight;
const int pictureHeight = Adapter::pictureHeight;
const int pictureTop = (windowHeight - pictureHeight) / 2;
const int pictureBottom = pictureTop + pictureHeight - 1;
// The picture area as GL's viewport and scissor box give it: x, y counted
// from the bottom of the window, width, height.
const std::array<int, 4> pictureBox = {0, windowHeight - 1 - pictureBottom, windowWidth, pictureHeight};

// The window of windowWidth x windowHeight that every pixel position above
// assumes, whatever the size of the display the tests run on (the show's
// own default, full screen, takes the desktop's size).
Adapter::DisplaySettings TestWindow();

struct Rgba {
    int r, g, b, a;
};

// Reads one pixel of the colour buffer being drawn (the back buffer), with
// y counted from the top of the window.
Rgba ReadPixel(int x, int yFromTop);
// Reads the whole back buffer, rows from the top, 4 bytes a pixel, alpha as
// drawn: the renderer's read-back.
std::vector<unsigned char> ReadWindow();

std::array<int, 4> Viewport();
std::array<int, 4> ScissorBox();

// Current modelview matrix and stack depth.
std::vector<float> ModelviewMatrix();
int ModelviewDepth();
bool IsIdentity(const std::vector<float>& matrix, float tolerance = 1e-5f);

// Draws a 2 x 2 quad 5 units in front of the eye (it covers the middle of the
// window) whose every corner carries texture coordinate (s, t): the whole
// quad shows the bound texture's value at that one point, as the ring mesh
// does at (0, 0).
void DrawQuadSampling(float s, float t);

// Directory of the generated run-time data (the build's data/).
std::string BuildDir();
std::string SourceDir();

// A fresh window with the letterbox projection the entry sets up.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<Adapter::Graphics> graphics;
};

// The show on a scripted clock: the live program's session (sound, window,
// player) over a sound layer whose position the test sets. Frame(t) draws the
// frame of music time t without swapping, so the picture can be read back.
class ScriptedShow {
public:
    enum Contents {
        EmptyPlayer,   // the test adds its own scenes and beat channels
        WholeTimeline, // the program's nine scenes and two beat channels
    };
    explicit ScriptedShow(Contents contents = EmptyPlayer);

    Platform::ScriptedClockScope scope; // first: the session's sound opens on it
    Demo::ShowSession session;
    // The session's parts, under the names the tests use.
    Demo::DemoPlayer* const player;
    Adapter::Graphics* const graphics;

    void Frame(unsigned time);
};

} // namespace TestSupport
