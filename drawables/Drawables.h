#pragma once
// Small command objects, each issuing one fixed group of GL calls when drawn.
#include "graphics/IDrawable.h"

#include <GL/gl.h>

namespace Drawables {

// Pseudo-capabilities just above GL_BLEND: each switches blending on with its
// own blend function (plain GL_BLEND is additive).
const GLenum BLEND_ALPHA = 3043;         // GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA
const GLenum BLEND_ALPHA_INV_DST = 3044; // GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA
const GLenum BLEND_ALPHA_ADD = 3045;     // GL_SRC_ALPHA, GL_ONE

class Enable : public IDrawable {
public:
    explicit Enable(GLenum cap) : cap(cap) {}
    void Draw(Adapter::Graphics& graphics) override;
    GLenum cap;
};

class Disable : public IDrawable {
public:
    explicit Disable(GLenum cap) : cap(cap) {}
    void Draw(Adapter::Graphics& graphics) override;
    GLenum cap;
};

class Color : public IDrawable {
public:
    Color(float r, float g, float b, float a) : r(r), g(g), b(b), a(a) {}
    void Draw(Adapter::Graphics& graphics) override;
    float r, g, b, a;
};

class PushMatrix : public IDrawable {
public:
    void Draw(Adapter::Graphics& graphics) override;
};

class PopMatrix : public IDrawable {
public:
    void Draw(Adapter::Graphics& graphics) override;
};

class Translate : public IDrawable {
public:
    Translate(float x, float y, float z) : x(x), y(y), z(z) {}
    void Draw(Adapter::Graphics& graphics) override;
    float x, y, z;
};

class Scale : public IDrawable {
public:
    Scale(float x, float y, float z) : x(x), y(y), z(z) {}
    void Draw(Adapter::Graphics& graphics) override;
    float x, y, z;
};

class Rotate : public IDrawable {
public:
    Rotate(float angle, float x, float y, float z) : x(x), y(y), z(z), angle(angle) {}
    void Draw(Adapter::Graphics& graphics) override;
    float x, y, z, angle;
};

// A textured quad centred on the origin in the plane z = 0, upright when y
// points up.
class Quad : public IDrawable {
public:
    Quad(float width, float height) : width(width), height(height) {}
    void Draw(Adapter::Graphics& graphics) override;
    float width, height;
};

// Linear fog parameters; the scene enables GL_FOG itself.
class Fog : public IDrawable {
public:
    Fog(float r, float g, float b, float a, float start, float end) : color{r, g, b, a}, start(start), end(end) {}
    void Draw(Adapter::Graphics& graphics) override;
    float color[4];
    float start, end;
};

class LookAt : public IDrawable {
public:
    LookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX, float upY,
           float upZ)
        : eyeX(eyeX), eyeY(eyeY), eyeZ(eyeZ), centerX(centerX), centerY(centerY), centerZ(centerZ), upX(upX),
          upY(upY), upZ(upZ)
    {
    }
    void Draw(Adapter::Graphics& graphics) override;
    float eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ;
};

} // namespace Drawables
