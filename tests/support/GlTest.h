#pragma once
// Helpers for tests that need the real window and GL context (run under the
// test display) and for tests that drive the show on a scripted clock.
#include "graphics/Graphics.h"
#include "platform/SoundSystem.h"
#include "runtime/DemoPlayer.h"
#include "runtime/MusicStream.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

struct Rgba {
    int r, g, b, a;
};

// Reads one pixel of the colour buffer being drawn (the back buffer), with
// y counted from the top of the 1024 x 768 window.
Rgba ReadPixel(int x, int yFromTop);
// Reads the whole back buffer, rows from the top, 4 bytes a pixel.
std::vector<unsigned char> ReadWindow();
// Writes the back buffer as a BMP (for looking at a failing picture).
void SaveWindowBmp(const std::string& path);

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

// The show on a scripted clock: the real MusicStream and DemoPlayer over a
// sound layer whose position the test sets. Frame(t) draws the frame of
// music time t (without swapping, so the picture can be read back).
class ScriptedShow {
public:
    ScriptedShow();
    ~ScriptedShow();

    Platform::ScriptedSoundSystem clock;
    std::unique_ptr<Demo::MusicStream> music;
    std::unique_ptr<Adapter::Graphics> graphics;
    std::unique_ptr<Demo::DemoPlayer> player;

    // Builds the whole timeline and runs the loading step.
    void LoadTimeline();
    void Frame(unsigned time);
    void SetLastTime(unsigned time) { player->lastTime = time; }
};

} // namespace TestSupport
