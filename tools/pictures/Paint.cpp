#include "tools/pictures/Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>

namespace Pictures {

namespace {

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

// Premultiplied float planes (r, g, b, a interleaved) of a canvas.
std::vector<float> ReadPlanes(Canvas& canvas)
{
    cairo_surface_flush(canvas.surface());
    const int w = canvas.width(), h = canvas.height();
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    std::vector<float> planes(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            float* out = &planes[(static_cast<size_t>(y) * w + x) * 4];
            out[0] = ((p >> 16) & 0xFF) / 255.0f;
            out[1] = ((p >> 8) & 0xFF) / 255.0f;
            out[2] = (p & 0xFF) / 255.0f;
            out[3] = (p >> 24) / 255.0f;
        }
    }
    return planes;
}

uint32_t Channel(float v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0)); }

void WritePlanes(Canvas& canvas, const std::vector<float>& planes)
{
    const int w = canvas.width(), h = canvas.height();
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    for (int y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const float* in = &planes[(static_cast<size_t>(y) * w + x) * 4];
            const uint32_t a = Channel(in[3]);
            // Premultiplied colour may never exceed alpha.
            const uint32_t r = std::min(Channel(in[0]), a), g = std::min(Channel(in[1]), a),
                           b = std::min(Channel(in[2]), a);
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
}

// One box pass of half-width k over `count` pixels of four samples each,
// spaced `step` samples apart. The line is copied once with k pixels of
// border on each side, so the sliding sum needs no edge tests; `average`
// turns a window's sum into a sample.
template <class Sample, class Sum, class Average>
void BoxLine(Sample* line, int count, int step, int k, Edges edges, std::vector<Sample>& padded, Average average)
{
    const int total = count + 2 * k + 1;
    padded.resize(static_cast<size_t>(total) * 4);
    for (int i = 0; i < total; ++i) {
        int source = i - k;
        Sample* to = &padded[static_cast<size_t>(i) * 4];
        if (edges == Edges::Transparent && (source < 0 || source >= count)) {
            std::fill(to, to + 4, Sample());
            continue;
        }
        if (edges == Edges::Wrap)
            source = ((source % count) + count) % count;
        else
            source = std::clamp(source, 0, count - 1);
        const Sample* from = line + static_cast<size_t>(source) * step;
        std::copy(from, from + 4, to);
    }
    Sum sum[4] = {0, 0, 0, 0};
    for (int i = 0; i < 2 * k + 1; ++i)
        for (int c = 0; c < 4; ++c)
            sum[c] += padded[static_cast<size_t>(i) * 4 + c];
    for (int i = 0; i < count; ++i) {
        Sample* out = line + static_cast<size_t>(i) * step;
        const Sample* enter = &padded[static_cast<size_t>(i + 2 * k + 1) * 4];
        const Sample* leave = &padded[static_cast<size_t>(i) * 4];
        for (int c = 0; c < 4; ++c) {
            out[c] = average(sum[c]);
            sum[c] += enter[c] - leave[c];
        }
    }
}

// Three box passes of half-width k each way over a width x height grid of
// four-sample pixels whose rows are `rowStep` samples apart.
template <class Sample, class Sum, class Average>
void BoxBlur(Sample* pixels, int width, int height, int rowStep, int k, Edges edges, Average average)
{
    std::vector<Sample> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            BoxLine<Sample, Sum>(pixels + static_cast<size_t>(y) * rowStep, width, 4, k, edges, scratch, average);
        for (int x = 0; x < width; ++x)
            BoxLine<Sample, Sum>(pixels + static_cast<size_t>(x) * 4, height, rowStep, k, edges, scratch, average);
    }
}

// Visits every pixel as four bytes B, G, R, A (premultiplied ARGB32 on a
// little-endian machine) with its coordinates.
template <class Visit>
void ForEachPixelBytes(Canvas& canvas, Visit visit)
{
    cairo_surface_flush(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            visit(data + y * stride + x * 4, x, y);
    cairo_surface_mark_dirty(canvas.surface());
}

uint8_t ClampByte(double value) { return static_cast<uint8_t>(std::min(255.0, std::max(0.0, value) + 0.5)); }

} // namespace

Colour Hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

Colour Mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scaled(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

void SetColour(cairo_t* cr, Colour colour, double alpha) { cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha); }

uint32_t Random::Next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double Random::Unit() { return (Next() >> 8) / 16777216.0; }

double Random::Between(double low, double high) { return low + (high - low) * Unit(); }

int Random::Below(int count) { return count > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(count)) : 0; }

void FillVertical(Canvas& canvas, std::initializer_list<GradientStop> stops)
{
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, 0, 0, canvas.height());
    for (const GradientStop& stop : stops)
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.colour.r, stop.colour.g, stop.colour.b,
                                          stop.alpha);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

void FillBand(cairo_t* cr, double x, double y, double width, double height, bool horizontal,
              std::initializer_list<GradientStop> stops)
{
    cairo_pattern_t* pattern = horizontal ? cairo_pattern_create_linear(x, 0, x + width, 0)
                                          : cairo_pattern_create_linear(0, y, 0, y + height);
    for (const GradientStop& stop : stops)
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.colour.r, stop.colour.g, stop.colour.b,
                                          stop.alpha);
    cairo_save(cr);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

void AddLayer(Canvas& target, Canvas& layer, double weight)
{
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(cr, layer.surface(), 0, 0);
    cairo_paint_with_alpha(cr, weight);
    cairo_restore(cr);
}

void AddLight(Canvas& canvas, double cx, double cy, double radius, Colour colour, double intensity, double scaleY)
{
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, radius);
    // Light carries coverage as well as colour, so it also reads right on a
    // transparent canvas: the hue is the colour normalised to its brightest
    // channel, the strength goes into alpha. Bell-shaped falloff, exp(-4 d^2),
    // forced to 0 at the rim.
    const double peak = std::max({colour.r, colour.g, colour.b, 1e-6});
    for (int i = 0; i <= 8; ++i) {
        const double d = i / 8.0;
        const double k = intensity * peak * std::exp(-4.0 * d * d) * (1.0 - d * d);
        cairo_pattern_add_color_stop_rgba(pattern, d, colour.r / peak, colour.g / peak, colour.b / peak,
                                          std::min(1.0, k));
    }
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1.0, scaleY);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source(cr, pattern);
    cairo_arc(cr, 0, 0, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

void AddRadialLight(cairo_t* cr, double x, double y, double radius, Colour colour, double alpha)
{
    cairo_pattern_t* light = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(light, 0.0, colour.r, colour.g, colour.b, alpha);
    cairo_pattern_add_color_stop_rgba(light, 0.35, colour.r, colour.g, colour.b, alpha * 0.45);
    cairo_pattern_add_color_stop_rgba(light, 1.0, colour.r, colour.g, colour.b, 0.0);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source(cr, light);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(light);
}

void TintCovered(cairo_t* cr, double from, double to, Colour colour, double alpha)
{
    cairo_pattern_t* tint = cairo_pattern_create_linear(0, from, 0, to);
    cairo_pattern_add_color_stop_rgba(tint, 0, colour.r, colour.g, colour.b, 0.0);
    cairo_pattern_add_color_stop_rgba(tint, 1, colour.r, colour.g, colour.b, alpha);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    cairo_set_source(cr, tint);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(tint);
}

void Blur(Canvas& canvas, double radius, Edges edges)
{
    if (radius <= 0.0)
        return;
    // Three box passes of half-width k approximate a Gaussian of sigma `radius`.
    const int k = std::max(1, static_cast<int>(std::lround((std::sqrt(4.0 * radius * radius + 1.0) - 1.0) / 2.0)));
    std::vector<float> planes = ReadPlanes(canvas);
    const float norm = 1.0f / (2 * k + 1);
    BoxBlur<float, float>(planes.data(), canvas.width(), canvas.height(), canvas.width() * 4, k, edges,
                          [norm](float sum) { return sum * norm; });
    WritePlanes(canvas, planes);
}

void BlurBytes(Canvas& canvas, int radius)
{
    if (radius <= 0)
        return;
    cairo_surface_flush(canvas.surface());
    // Three box passes of a third of the radius come close to a Gaussian.
    const int k = std::max(1, radius / 3);
    const int window = 2 * k + 1;
    BoxBlur<unsigned char, int>(cairo_image_surface_get_data(canvas.surface()), canvas.width(), canvas.height(),
                                cairo_image_surface_get_stride(canvas.surface()), k, Edges::Transparent,
                                [window](int sum) { return static_cast<unsigned char>((sum + window / 2) / window); });
    cairo_surface_mark_dirty(canvas.surface());
}

void PaintWithGlow(Canvas& target, double glowRadius, double glowStrength,
                   const std::function<void(cairo_t*)>& shape, bool additive)
{
    Canvas layer(target.width(), target.height());
    shape(layer.cr());
    Canvas glow(target.width(), target.height());
    CopyPixels(layer, glow);
    Blur(glow, glowRadius);
    // Strengths above 1 add the glow more than once.
    for (double left = glowStrength; left > 0.0; left -= 1.0)
        AddLayer(target, glow, std::min(1.0, left));
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_set_operator(cr, additive ? CAIRO_OPERATOR_ADD : CAIRO_OPERATOR_OVER);
    cairo_set_source_surface(cr, layer.surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

void AddGlow(Canvas& target, int radius, double strength, const std::function<void(cairo_t*)>& shape)
{
    Canvas scratch(target.width(), target.height());
    shape(scratch.cr());
    BlurBytes(scratch, radius);
    AddLayer(target, scratch, strength);
}

void ForEachPixel(Canvas& canvas, const PixelVisitor& visit)
{
    std::vector<float> planes = ReadPlanes(canvas);
    const int w = canvas.width(), h = canvas.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float* p = &planes[(static_cast<size_t>(y) * w + x) * 4];
            // Additive light may have pushed colour past alpha: treat the
            // excess as coverage so it survives un-premultiplication.
            double a = std::max({static_cast<double>(p[3]), static_cast<double>(p[0]),
                                 static_cast<double>(p[1]), static_cast<double>(p[2])});
            a = std::min(a, 1.0);
            double r = a > 0 ? p[0] / a : 0, g = a > 0 ? p[1] / a : 0, b = a > 0 ? p[2] / a : 0;
            visit(x, y, r, g, b, a);
            a = Clamp01(a);
            p[0] = static_cast<float>(Clamp01(r) * a);
            p[1] = static_cast<float>(Clamp01(g) * a);
            p[2] = static_cast<float>(Clamp01(b) * a);
            p[3] = static_cast<float>(a);
        }
    WritePlanes(canvas, planes);
}

void AddGrain(Canvas& canvas, double amount, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-amount, amount);
    ForEachPixel(canvas, [&](int, int, double& r, double& g, double& b, double&) {
        const double n = noise(random);
        r += n;
        g += n;
        b += n;
    });
}

void AddGrainBytes(Canvas& canvas, double amount, uint32_t seed)
{
    Random random(seed);
    ForEachPixelBytes(canvas, [&](unsigned char* p, int, int) {
        const int alpha = p[3];
        if (alpha == 0)
            return;
        const double shift = (random.Unit() * 2.0 - 1.0) * amount * alpha;
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = static_cast<unsigned char>(std::clamp(p[channel] + shift, 0.0, static_cast<double>(alpha)));
    });
}

void Vignette(Canvas& canvas, double strength)
{
    const double cx = canvas.width() / 2.0, cy = canvas.height() / 2.0;
    ForEachPixel(canvas, [&](int x, int y, double& r, double& g, double& b, double&) {
        const double dx = (x + 0.5 - cx) / cx, dy = (y + 0.5 - cy) / cy;
        const double d = std::min(1.0, (dx * dx + dy * dy) / 2.0);
        const double k = 1.0 - strength * d * d * (3.0 - 2.0 * d);
        r *= k;
        g *= k;
        b *= k;
    });
}

void VignetteBytes(Canvas& canvas, double depth)
{
    const double cx = canvas.width() * 0.5, cy = canvas.height() * 0.5;
    ForEachPixelBytes(canvas, [&](unsigned char* p, int x, int y) {
        const double dx = (x - cx) / cx, dy = (y - cy) / cy;
        const double reach = std::min(1.0, (dx * dx + dy * dy) * 0.5);
        const double factor = 1.0 - depth * reach * reach;
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = ClampByte(p[channel] * factor);
    });
}

void FadeBorder(Canvas& canvas, double margin, bool toTransparent)
{
    const int w = canvas.width(), h = canvas.height();
    auto ramp = [margin](double distance) {
        const double t = Clamp01(distance / margin);
        return t * t * (3.0 - 2.0 * t);
    };
    ForEachPixel(canvas, [&](int x, int y, double& r, double& g, double& b, double& a) {
        const double edge = std::min({static_cast<double>(x), static_cast<double>(y),
                                      static_cast<double>(w - 1 - x), static_cast<double>(h - 1 - y)});
        const double k = ramp(edge);
        if (toTransparent) {
            a *= k;
        } else {
            r *= k;
            g *= k;
            b *= k;
        }
    });
}

void Brighten(Canvas& source, Canvas& target, double gain, double lift)
{
    if (source.width() != target.width() || source.height() != target.height())
        throw std::invalid_argument("Brighten: pictures differ in size");
    CopyPixels(source, target);
    ForEachPixel(target, [&](int, int, double& r, double& g, double& b, double&) {
        r = (r + lift * (1.0 - r)) * gain;
        g = (g + lift * (1.0 - g)) * gain;
        b = (b + lift * (1.0 - b)) * gain;
    });
}

void Invert(Canvas& canvas)
{
    // On premultiplied bytes alpha - colour is the straight inverse, with no rounding.
    ForEachPixelBytes(canvas, [](unsigned char* p, int, int) {
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = static_cast<unsigned char>(p[3] - std::min(p[channel], p[3]));
    });
}

void CopyPixels(Canvas& source, Canvas& target)
{
    if (source.width() != target.width() || source.height() != target.height())
        throw std::invalid_argument("CopyPixels: pictures differ in size");
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source.surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

PeriodicNoise::PeriodicNoise(int period, unsigned seed) : basePeriod(std::max(1, period)), seed(seed) {}

double PeriodicNoise::Lattice(int x, int y, int period) const
{
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    // An integer hash of (cell, octave, seed): cheap, and no table to miss in cache.
    uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(period) * 0x85EBCA6Bu;
    h ^= static_cast<uint32_t>(x) * 0xC2B2AE35u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<uint32_t>(y) * 0x27D4EB2Fu;
    h = (h ^ (h >> 12)) * 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double PeriodicNoise::AtPeriod(double x, double y, int period) const
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double a = Lattice(ix, iy, period), b = Lattice(ix + 1, iy, period);
    const double c = Lattice(ix, iy + 1, period), d = Lattice(ix + 1, iy + 1, period);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double PeriodicNoise::At(double x, double y) const { return AtPeriod(x, y, basePeriod); }

double PeriodicNoise::Fractal(double x, double y, int octaves, double persistence) const
{
    octaves = std::clamp(octaves, 1, 6);
    double sum = 0.0, weight = 1.0, total = 0.0;
    int scale = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * AtPeriod(x * scale, y * scale, basePeriod * scale);
        total += weight;
        weight *= persistence;
        scale *= 2;
    }
    return sum / total;
}

void TextPath(cairo_t* cr, const std::string& text, Font font, double size, double cx, double cy, double tracking,
              double skew)
{
    cairo_surface_t* scratchSurface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* scratch = cairo_create(scratchSurface);
    cairo_select_font_face(scratch, font.family, font.oblique ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(scratch, size);
    cairo_matrix_t slant;
    cairo_matrix_init(&slant, 1.0, 0.0, -skew, 1.0, 0.0, 0.0);
    cairo_transform(scratch, &slant);
    TextPathAt(scratch, text, 0.0, 0.0, tracking);
    cairo_identity_matrix(scratch);
    double x1, y1, x2, y2;
    cairo_path_extents(scratch, &x1, &y1, &x2, &y2);
    cairo_path_t* path = cairo_copy_path(scratch);
    cairo_save(cr);
    cairo_translate(cr, cx - (x1 + x2) / 2.0, cy - (y1 + y2) / 2.0);
    cairo_append_path(cr, path);
    cairo_restore(cr);
    cairo_path_destroy(path);
    cairo_destroy(scratch);
    cairo_surface_destroy(scratchSurface);
}

void TextPathAt(cairo_t* cr, const std::string& text, double x, double y, double tracking, double wave)
{
    // Letter by letter, so that tracking and the wave can move each one.
    char letter[2] = {0, 0};
    for (size_t i = 0; i < text.size(); ++i) {
        letter[0] = text[i];
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter, &extents);
        cairo_move_to(cr, x, y + wave * std::sin(i * 0.9));
        cairo_text_path(cr, letter);
        x += extents.x_advance + tracking;
    }
}

double TextWidth(cairo_t* cr, const std::string& text, double tracking)
{
    char letter[2] = {0, 0};
    double width = 0;
    for (char c : text) {
        letter[0] = c;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter, &extents);
        width += extents.x_advance + tracking;
    }
    return text.empty() ? 0.0 : width - tracking;
}

} // namespace Pictures
