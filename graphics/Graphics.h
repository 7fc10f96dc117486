#pragma once
#include "graphics/IOutputMedium.h"

#include <GL/gl.h>
#include <map>
#include <string>

namespace Adapter {

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

// Drains the event queue: 0 nothing, 1 Space pressed, 2 Escape or window closed.
int PollQuitKey();

// Window caption: the production title and a contact address.
extern const char* const windowCaption;

} // namespace Adapter
