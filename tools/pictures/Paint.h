#pragma once
// The painting toolkit of every picture generator: the full-screen picture
// size, colours, a repeatable random source, gradients, light, blur and glow,
// grain, vignettes, tileable noise and lettering. Everything works on a
// Canvas (Cairo ARGB32, premultiplied).
//
// Pixel passes come in two precisions. The plain ones (ForEachPixel, Blur,
// AddGrain, Vignette ...) work on float copies of the pixels in straight
// colour, so callers never deal with premultiplication. The ...Bytes ones
// work in place on the 8-bit premultiplied pixels and round at every step;
// their grain and vignette curves differ as well. The closing scenes'
// pictures are painted with the byte passes, the opening scenes' with the
// plain ones, and each set of pictures keeps its own look.
#include "tools/pictures/Canvas.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace Pictures {

// Full-screen pictures are 1024 x 512 and shown stretched to the 600-row
// letterbox: round things are painted squashed by this factor so that they
// look round on screen.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 512;
constexpr int kLetterboxRows = 600;
constexpr double kLetterboxSquash = static_cast<double>(kScreenHeight) / kLetterboxRows;

struct Colour {
    double r, g, b;
};

// 0xRRGGBB to a colour with channels in [0, 1].
Colour Hex(uint32_t rgb);
Colour Mix(Colour a, Colour b, double t);
Colour Scaled(Colour c, double k);
void SetColour(cairo_t* cr, Colour colour, double alpha = 1.0);

// Repeatable numbers (xorshift), independent of the C library's rand() and
// of the standard library's distributions.
class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t Next();
    double Unit(); // [0, 1)
    double Between(double low, double high);
    int Below(int count); // [0, count)
    bool Chance(double probability) { return Unit() < probability; }

private:
    uint32_t state;
};

struct GradientStop {
    double offset; // 0..1 along the gradient
    Colour colour;
    double alpha;
};

// Fills the whole canvas with a top-to-bottom gradient (replacing what was there).
void FillVertical(Canvas& canvas, std::initializer_list<GradientStop> stops);

// Fills a rectangle with a gradient running along its width (horizontal) or
// its height, painted OVER what is there.
void FillBand(cairo_t* cr, double x, double y, double width, double height, bool horizontal,
              std::initializer_list<GradientStop> stops);

// Adds `layer` (same size) onto `target` (saturating), weighted by `weight`;
// Cairo takes any weight of 1 or more as 1.
void AddLayer(Canvas& target, Canvas& layer, double weight = 1.0);

// Adds a soft round light (bell-shaped falloff, zero at `radius`). `scaleY`
// squashes it vertically, e.g. to pre-compensate a picture stretched later.
void AddLight(Canvas& canvas, double cx, double cy, double radius, Colour colour, double intensity,
              double scaleY = 1.0);

// Adds a radial light in the current user space of `cr`: `colour` at `alpha`
// in the centre, a steep drop to under half by a third of the way out, then a
// long tail to nothing at `radius`. Brighter at the core than AddLight.
void AddRadialLight(cairo_t* cr, double x, double y, double radius, Colour colour, double alpha);

// Tints what is already covered (leaving transparent pixels alone) with
// `colour`, fading from nothing at row `from` to `alpha` at row `to`.
void TintCovered(cairo_t* cr, double from, double to, Colour colour, double alpha);

// What lies beyond the picture's edge for a blur: the edge pixel repeated,
// the opposite edge (tileable pictures stay tileable), or nothing.
enum class Edges { Clamp, Wrap, Transparent };

// Gaussian-like blur (three box passes) of colour and alpha, of about
// `radius` standard deviation.
void Blur(Canvas& canvas, double radius, Edges edges = Edges::Clamp);

// Three box passes of half-width radius / 3 each way, reaching about
// `radius`, in place on the 8-bit pixels; outside counts as transparent.
void BlurBytes(Canvas& canvas, int radius);

// Paints `shape` on a scratch layer of the same size, then adds a blurred copy
// (the glow, weighted by `glowStrength`; above 1 it is added more than once)
// and the sharp shape onto `target`. `shape` gets a fresh context with
// nothing set.
void PaintWithGlow(Canvas& target, double glowRadius, double glowStrength,
                   const std::function<void(cairo_t*)>& shape, bool additive = false);

// Adds only the glow of what `shape` draws on a scratch layer: blurred by
// BlurBytes(radius) and added onto `target` weighted by `strength`.
void AddGlow(Canvas& target, int radius, double strength, const std::function<void(cairo_t*)>& shape);

// Visits every pixel with straight (not premultiplied) colour 0..1; whatever
// the visitor leaves in the four values is stored back, clamped.
using PixelVisitor = std::function<void(int x, int y, double& r, double& g, double& b, double& a)>;
void ForEachPixel(Canvas& canvas, const PixelVisitor& visit);

// Film grain: adds zero-mean noise of the given amplitude to colour, not alpha.
void AddGrain(Canvas& canvas, double amount, unsigned seed);

// Film grain on the 8-bit pixels: every covered pixel's colour moves by up to
// +-amount (0..1), scaled by its coverage so the alpha channel is kept.
void AddGrainBytes(Canvas& canvas, double amount, uint32_t seed);

// Darkens toward the corners along a smooth step; `strength` 0 does nothing,
// 1 reaches black.
void Vignette(Canvas& canvas, double strength);

// Darkens the 8-bit pixels toward the edges: factor 1 in the centre down to
// 1 - depth in the corners along a square curve, for opaque pictures.
void VignetteBytes(Canvas& canvas, double depth);

// Fades the last `margin` pixels at every edge to black (additive sprites) or
// to fully transparent (alpha sprites), so nothing shows at the quad's border.
void FadeBorder(Canvas& canvas, double margin, bool toTransparent);

// Writes into `target` a bright version of `source` (same size): colour is
// lifted toward white by `lift` and multiplied by `gain`.
void Brighten(Canvas& source, Canvas& target, double gain, double lift);

// Inverts colour and keeps alpha, exactly: inverting twice gives the picture back.
void Invert(Canvas& canvas);

// Copies the pixels of `source` into `target` (same size).
void CopyPixels(Canvas& source, Canvas& target);

// Value noise with a lattice that wraps every `period` cells, so
// Fractal(x, y) repeats over [0, period) in both directions; each octave
// doubles the frequency and keeps the wrap.
class PeriodicNoise {
public:
    PeriodicNoise(int period, unsigned seed);
    double At(double x, double y) const;                       // 0..1
    double Fractal(double x, double y, int octaves, double persistence = 0.5) const; // about 0..1

private:
    double Lattice(int x, int y, int period) const;
    double AtPeriod(double x, double y, int period) const;
    int basePeriod;
    unsigned seed;
};

struct Font {
    const char* family; // "DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"
    bool bold;
    bool oblique;
};

// Adds `text` as a path centred (by its ink) on (cx, cy), with `tracking`
// extra pixels between letters and `skew` slanting it (x += skew * -y).
void TextPath(cairo_t* cr, const std::string& text, Font font, double size, double cx, double cy,
              double tracking = 0.0, double skew = 0.0);

// Adds `text` in the current font as a path along a baseline starting at
// (x, y), with `tracking` extra pixels between letters; `wave` lifts and drops
// the letters along a sine.
void TextPathAt(cairo_t* cr, const std::string& text, double x, double y, double tracking, double wave = 0.0);
// Width of `text` as TextPathAt lays it out in the current font.
double TextWidth(cairo_t* cr, const std::string& text, double tracking);

} // namespace Pictures
