#pragma once
// Painting helpers of the closing scenes' pictures: colours, a repeatable
// random source, blur, grain and per-pixel passes over Cairo ARGB32 data.
#include "Canvas.h"

#include <cairo/cairo.h>
#include <cstdint>
#include <string>

namespace Pictures {
namespace ClosingArt {

// Full-screen pictures are 1024 x 512 and stretched to the 600-row
// letterbox; round things are drawn `Squash` flatter so they show round.
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 512;
constexpr double Squash = 512.0 / 600.0;

struct Rgb {
    double r, g, b;
};

// 0xRRGGBB to a colour with channels in [0, 1].
Rgb Hex(uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scaled(Rgb colour, double factor);
void SetColour(cairo_t* cr, Rgb colour, double alpha = 1.0);

// Repeatable numbers, independent of the C library's rand().
class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t Next();
    double Unit();                         // [0, 1)
    double Between(double low, double high);
    int Below(int count);                  // [0, count)
    bool Chance(double probability) { return Unit() < probability; }

private:
    uint32_t state;
};

// Approximate Gaussian blur (three box passes each way) of premultiplied
// data; outside the surface counts as transparent.
void Blur(cairo_surface_t* surface, int radius);

// Adds `layer` onto the canvas (saturating add), weighted by `strength`.
void AddLayer(cairo_t* target, cairo_surface_t* layer, double strength = 1.0);

// Paints what `draw` puts on a scratch surface, blurred by `radius`, added
// onto `target`: soft light around shapes.
template <class Shapes>
void AddGlow(Canvas& target, int radius, double strength, Shapes draw)
{
    Canvas scratch(target.width(), target.height());
    draw(scratch.cr());
    Blur(scratch.surface(), radius);
    AddLayer(target.cr(), scratch.surface(), strength);
}

// Film grain: every covered pixel's colour moves by up to +-amount (0..1),
// scaled by its coverage so the alpha channel is kept.
void AddGrain(cairo_surface_t* surface, double amount, uint32_t seed);

// 255 - value for red, green and blue of an opaque picture.
void InvertColours(cairo_surface_t* surface);

// Darkens toward the edges: factor 1 in the centre down to 1 - depth in the
// corners, for opaque pictures.
void Vignette(cairo_surface_t* surface, double depth);

// Radial light: `colour` at full `alpha` in the centre fading to nothing at
// `radius`, added onto what is there.
void AddRadialLight(cairo_t* cr, double x, double y, double radius, Rgb colour, double alpha);

// Tints what is already covered (leaving transparent pixels alone) with
// `colour`, fading from nothing at row `from` to `alpha` at row `to`.
void TintCovered(cairo_t* cr, double from, double to, Rgb colour, double alpha);

// A vertical gradient over the whole canvas through evenly spaced stops.
void FillVertical(Canvas& canvas, const Rgb* stops, int count);

// Lays `text` out along a baseline starting at (x, y) with extra `tracking`
// between letters, adding the glyph outlines to the current path; `wave`
// lifts and drops the letters along a sine.
void TextPath(cairo_t* cr, const std::string& text, double x, double y, double tracking, double wave = 0);
// Width of `text` as TextPath lays it out with the current font.
double TextWidth(cairo_t* cr, const std::string& text, double tracking);

} // namespace ClosingArt
} // namespace Pictures
