#include "drawables/Texture.h"
#include "drawables/Drawables.h"
#include "graphics/GlLimits.h"
#include "graphics/Graphics.h"
#include "platform/DataFolder.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Drawables {

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Bytes R, G, B, A in memory on a little-endian machine.
SDL_PixelFormat RgbaFormat()
{
    SDL_PixelFormat format = {};
    format.palette = nullptr;
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
    format.Rshift = 0;
    format.Gshift = 8;
    format.Bshift = 16;
    format.Ashift = 24;
    format.Rmask = 0x000000FF;
    format.Gmask = 0x0000FF00;
    format.Bmask = 0x00FF0000;
    format.Amask = 0xFF000000;
    format.colorkey = 0;
    format.alpha = 255;
    return format;
}

// Opens and decodes a picture. The messages name the file and say what went
// wrong in the program's own words; the cause that follows is the C
// library's or the decoder's, in whatever words their version uses.
SDL_Surface* LoadPicture(const char* fileName)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        throw std::runtime_error("Couldn't open " + std::string(fileName) + ": " + std::strerror(errno));
    SDL_RWops* source = SDL_RWFromFP(file, 1);
    if (!source) {
        std::fclose(file);
        throw std::runtime_error("Couldn't open " + std::string(fileName) + ": " + SDL_GetError());
    }
    SDL_Surface* surface = IMG_Load_RW(source, 1);
    if (!surface)
        throw std::runtime_error("Couldn't load " + std::string(fileName) + ": " + SDL_GetError());
    return surface;
}

bool IsRgbaLayout(const SDL_Surface* surface)
{
    const SDL_PixelFormat* f = surface->format;
    return f->BitsPerPixel == 32 && f->Rmask == 0x000000FF && f->Gmask == 0x0000FF00 &&
           f->Bmask == 0x00FF0000 && f->Amask == 0xFF000000 && surface->pitch == surface->w * 4;
}

} // namespace

Texture::Texture(const char* fileName, Adapter::Graphics& graphics, bool repeat, bool mipmap)
    : id(graphics.AllocateTexture(fileName))
{
    // Opened where the show's data was found; its messages name that file.
    SurfacePtr surface(LoadPicture(Platform::DataPath(fileName).c_str()));
    // Any 32-bit picture whose bytes are not already R, G, B, A (or whose
    // rows are padded) is converted as well, so that its colours survive.
    if (!IsRgbaLayout(surface.get())) {
        // Copied, never blended onto the empty new surface: a blend would
        // darken every half-transparent texel. SDL's conversions to a format
        // with alpha copy already; switching per-pixel alpha off says so to
        // whichever SDL 1.2 runtime does the blit.
        SDL_SetAlpha(surface.get(), 0, SDL_ALPHA_OPAQUE);
        SDL_PixelFormat format = RgbaFormat();
        SurfacePtr converted(SDL_ConvertSurface(surface.get(), &format, 0));
        if (!converted)
            throw std::runtime_error("Couldn't convert " + std::string(fileName) + ": " + SDL_GetError());
        surface = std::move(converted);
    }
    UploadTexture(*this, graphics, surface->w, surface->h, surface->pixels, repeat, mipmap);
}

void Texture::Draw(Adapter::Graphics&) { glBindTexture(GL_TEXTURE_2D, id); }

void UploadTexture(Texture& texture, Adapter::Graphics& graphics, int width, int height, const void* pixels,
                   bool repeat, bool mipmap)
{
    graphics.Draw(Enable(GL_TEXTURE_2D));
    glBindTexture(GL_TEXTURE_2D, texture.id);
    std::vector<unsigned char> scratch;
    if (!pixels) {
        scratch.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        pixels = scratch.data();
    }
    // Clamped pictures clamp to their edge texels: plain GL_CLAMP lets
    // linear filtering blend in the (transparent black) border colour, which
    // darkens every picture's rim and makes a sample at (0, 0) only a quarter
    // of the corner texel.
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    if (mipmap) {
        const GLint code =
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        if (code != 0)
            throw std::runtime_error(reinterpret_cast<const char*>(gluErrorString(code)));
    } else {
        // gluBuild2DMipmaps scales a picture down to what the driver holds;
        // a single level is uploaded as it is.
        Adapter::CheckTextureSize(width, height, "A texture");
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    graphics.Draw(Disable(GL_TEXTURE_2D));
}

FullScreenTexture::FullScreenTexture(const char* fileName, Adapter::Graphics& graphics, bool repeat, bool mipmap)
    : Texture(fileName, graphics, repeat, mipmap), x(0), y(0), height(-1), scale(1.0f)
{
}

void FullScreenTexture::Draw(Adapter::Graphics& graphics)
{
    const int w = graphics.viewportWidth;
    const int hv = graphics.viewportHeight;
    const int h = height > 0 ? height : hv;
    const float s = scale;
    DrawScreenQuad(id, w, hv, x * s, y * s, (x + w) * s, (y + h) * s);
}

void DrawScreenQuad(GLuint id, int viewportWidth, int viewportHeight, float left, float top, float right,
                    float bottom)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, id);
    glLoadIdentity();
    glOrtho(0, viewportWidth, viewportHeight, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(0, 1);
    glVertex2f(left, bottom);
    glTexCoord2f(1, 1);
    glVertex2f(right, bottom);
    glTexCoord2f(1, 0);
    glVertex2f(right, top);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix(); // unmatched on purpose, see above
}

} // namespace Drawables
