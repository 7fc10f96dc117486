#pragma once
#include "graphics/IOutputMedium.h"

#include <GL/gl.h>
#include <map>
#include <string>

namespace Adapter {

// The full-screen window every run opens, in pixels.
constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;
// The picture area the scenes draw into: the window's width, centred between
// black bands above and below.
constexpr int pictureWidth = screenWidth;
constexpr int pictureHeight = 600;
// Every projection of the show: vertical field of view in degrees, and the
// near and far clip planes.
constexpr float perspectiveFovY = 45;
constexpr float perspectiveZNear = 0.1f;
constexpr float perspectiveZFar = 1000;

// What PollQuitKey found: the viewer wants nothing, pressed Space (which the
// show ignores), or asked to stop (Escape, or the window closed).
enum InputRequest { InputNone = 0, InputSpace = 1, InputStop = 2 };

// Owns SDL, the full-screen window and its GL context, the display state every
// scene relies on, and the registry of loaded pictures.
class Graphics : public Medium::IOutputMedium {
public:
    Graphics();
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    using Medium::IOutputMedium::Draw;
    Medium::IOutputMedium& Draw(Drawables::IDrawable& drawable) override;
    virtual void InitializeDisplay();

    void SetPerspective(int width, int height, float fovY, float zNear, float zFar, bool centred);
    // The projection the scenes draw with: the picture area, letterboxed.
    void SetLetterboxPerspective();

    // Shows what was drawn: the buffer swap. Every frame of the show, the
    // loading picture and the start-up clears go through here.
    void Present();

    // One GL texture name per file name; null gives a fresh, unregistered name.
    GLuint AllocateTexture(const char* fileName);

    std::map<std::string, GLuint> textures;
    int windowWidth;
    int windowHeight;
    int viewportWidth;
    int viewportHeight;
    float zNear;
    float zFar;
};

// Drains the event queue; the last key of interest wins, a window close
// counts only when no key came with it.
InputRequest PollQuitKey();

// Window caption: the production title and a contact address.
extern const char* const windowCaption;

} // namespace Adapter
