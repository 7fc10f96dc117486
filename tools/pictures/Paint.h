#pragma once
// Painting helpers shared by the picture generators: colours, gradients,
// light, blur and glow, grain, tileable noise and lettering. Everything works
// on a Canvas (Cairo ARGB32, premultiplied); pixel loops read and write
// straight colour so callers never deal with premultiplication.
#include "Canvas.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace Pictures {

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t);
Colour Scaled(Colour c, double k);

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

// Adds `layer` (same size) onto `target`, weighted by `weight` (0..1).
void AddLayer(Canvas& target, Canvas& layer, double weight = 1.0);

// Adds a soft round light (bell-shaped falloff, zero at `radius`). `scaleY`
// squashes it vertically, e.g. to pre-compensate a picture stretched later.
void AddLight(Canvas& canvas, double cx, double cy, double radius, Colour colour, double intensity,
              double scaleY = 1.0);

// A filled soft-edged disc painted OVER what is there.
void SoftDisc(Canvas& canvas, double cx, double cy, double radius, double softness, Colour colour,
              double alpha);

enum class Edges { Clamp, Wrap };

// Gaussian-like blur (three box passes) of colour and alpha. Wrap keeps
// tileable pictures tileable.
void Blur(Canvas& canvas, double radius, Edges edges = Edges::Clamp);

// Paints `shape` on a scratch layer of the same size, then adds a blurred copy
// (the glow, weighted by `glowStrength`) and the sharp shape onto `target`.
// `shape` gets a fresh context with nothing set.
void PaintWithGlow(Canvas& target, double glowRadius, double glowStrength,
                   const std::function<void(cairo_t*)>& shape, bool additive = false);

// Visits every pixel with straight (not premultiplied) colour 0..1; whatever
// the visitor leaves in the four values is stored back, clamped.
using PixelVisitor = std::function<void(int x, int y, double& r, double& g, double& b, double& a)>;
void ForEachPixel(Canvas& canvas, const PixelVisitor& visit);

// Film grain: adds zero-mean noise of the given amplitude to colour, not alpha.
void AddGrain(Canvas& canvas, double amount, unsigned seed);

// Darkens toward the corners; `strength` 0 does nothing, 1 reaches black.
void Vignette(Canvas& canvas, double strength);

// Fades the last `margin` pixels at every edge to black (additive sprites) or
// to fully transparent (alpha sprites), so nothing shows at the quad's border.
void FadeBorder(Canvas& canvas, double margin, bool toTransparent);

// Writes into `target` a bright version of `source` (same size): colour is
// lifted toward white by `lift` and multiplied by `gain`.
void Brighten(Canvas& source, Canvas& target, double gain, double lift);

// Inverts colour, keeps alpha.
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

} // namespace Pictures
