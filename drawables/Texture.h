#pragma once
#include "graphics/IDrawable.h"

#include <GL/gl.h>

namespace Drawables {

// A drawable that binds one GL texture.
class Texture : public IDrawable {
public:
    // Loads a picture through the registry of `graphics`: decoded, brought
    // to 32-bit RGBA and uploaded. Throws with the decoder's message.
    Texture(const char* fileName, Adapter::Graphics& graphics, bool repeat, bool mipmap);
    // Scenes own textures of every kind through pointers to this class.
    virtual ~Texture() = default;
    Texture(const Texture&) = default;
    Texture& operator=(const Texture&) = default;
    void Draw(Adapter::Graphics& graphics) override;

    GLuint id;

protected:
    // For targets that create their texture themselves.
    Texture() : id(0) {}
};

// A picture drawn as a screen-aligned quad in viewport pixels, y downward.
// Drawing it resets the modelview matrix to the identity (and pops one
// level when drawn inside a push).
class FullScreenTexture : public Texture {
public:
    FullScreenTexture(const char* fileName, Adapter::Graphics& graphics, bool repeat, bool mipmap);
    void Draw(Adapter::Graphics& graphics) override;

    int x;
    int y;
    int height; // 0 or less: the viewport height
    float scale;
};

// Draws texture `id` as an axis-aligned quad from (left, top) to (right,
// bottom) in viewport pixels (y downward, texture row 0 at the top) under an
// orthographic projection of `viewportWidth` x `viewportHeight`, which it
// restores afterwards. The modelview matrix is loaded with the identity and
// then popped once without a push: at the top level that leaves the identity,
// inside a push it drops back to the matrix that push saved.
void DrawScreenQuad(GLuint id, int viewportWidth, int viewportHeight, float left, float top, float right,
                    float bottom);

// Sets wrapping and filtering and uploads `pixels` (RGBA bytes, top row
// first) into `texture`, leaving it bound and texturing disabled.
void UploadTexture(Texture& texture, Adapter::Graphics& graphics, int width, int height, const void* pixels,
                   bool repeat, bool mipmap);

} // namespace Drawables
