#pragma once
#include "graphics/DisplaySettings.h"
#include "graphics/FrameSize.h"
#include "graphics/IOutputMedium.h"
#include "graphics/PictureFit.h"

#include <GL/gl.h>
#include <map>
#include <memory>
#include <string>

namespace Adapter {

class FrameBuffer;

// The picture the scenes draw, in its own units: on the screen the show was
// made for (screenWidth x screenHeight) it is the window's width, centred
// between black bands above and below, one pixel a unit. Other outputs fit it
// as large as they can (PictureFit).
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

// Owns SDL, the window and its GL context, the surface the scenes draw on (the
// window itself, or an off-screen frame), the display state every scene
// relies on, and the registry of loaded pictures.
class Graphics : public Medium::IOutputMedium {
    // SDL's video, started before every other member and ended after them
    // all: a constructor that fails once the mode is set still closes the
    // (full-screen) window before the error is shown.
    class SdlVideo {
    public:
        SdlVideo();
        ~SdlVideo();
        SdlVideo(const SdlVideo&) = delete;
        SdlVideo& operator=(const SdlVideo&) = delete;
    };
    SdlVideo sdl;

public:
    explicit Graphics(const DisplaySettings& settings = DisplaySettings());
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    using Medium::IOutputMedium::Draw;
    Medium::IOutputMedium& Draw(Drawables::IDrawable& drawable) override;
    virtual void InitializeDisplay();

    // Viewport and scissor box of width x height picture units (pixels times
    // pixelsPerUnit), centred in the drawing surface or at its lower left,
    // and a perspective projection of the same aspect.
    void SetPerspective(int width, int height, float fovY, float zNear, float zFar, bool centred);
    // The projection the scenes draw with: the picture area, letterboxed.
    void SetLetterboxPerspective();

    // Shows what was drawn: the buffer swap (after scaling the picture to
    // the window where it is drawn at another size). Every frame of the show,
    // the loading picture and the start-up clears go through here.
    void Present();

    // A length in picture units as whole pixels of the drawing surface.
    int Pixels(double units) const { return fit.Pixels(units); }

    // One GL texture name per file name; null gives a fresh, unregistered name.
    GLuint AllocateTexture(const char* fileName);

    // The drawing surface in pixels: the window, or the off-screen frame.
    int WindowWidth() const { return windowWidth; }
    int WindowHeight() const { return windowHeight; }
    // The window (or screen) that shows the show, in pixels.
    int OutputWidth() const { return outputWidth; }
    int OutputHeight() const { return outputHeight; }
    // The picture on the drawing surface: its pixels a unit, and its box.
    const PictureFit& Fit() const { return fit; }
    // Drawn at 1024 x 600 and scaled to the output (DrawingSize::Classic).
    bool Classic() const { return classic; }
    // Mesa's software rasterisers: too slow to draw every pixel of a large
    // screen, so the automatic choice draws them the classic way.
    bool SoftwareRenderer() const { return softwareRenderer; }
    // The swap interval the driver reports (1: one frame a refresh), or -1.
    int SwapInterval() const { return swapInterval; }

    std::map<std::string, GLuint> textures;
    // Where viewportWidth x viewportHeight units, the picture, go.
    int viewportWidth;
    int viewportHeight;
    float zNear;
    float zFar;

private:
    void OpenOutput(const DisplaySettings& settings);
    void ChooseSurface(const DisplaySettings& settings);
    // Classic drawing where asked for (or chosen) and the driver can.
    bool DrawsClassic(const DisplaySettings& settings, const PictureFit& onOutput);

    int windowWidth;
    int windowHeight;
    int outputWidth = 0;
    int outputHeight = 0;
    PictureFit fit;
    bool classic = false;
    bool softwareRenderer = false;
    int swapInterval = -1;
    std::unique_ptr<FrameBuffer> surface; // null: the window itself
    PixelBox outputPicture{0, 0, 0, 0};   // where a classic frame lands on the window
};

// Drains the event queue. A stop request (Escape, or the window closed) stays
// one whatever follows it in the queue; otherwise Space is reported.
InputRequest PollQuitKey();

// Window caption: the production title and a contact address.
extern const char* const windowCaption;

} // namespace Adapter
