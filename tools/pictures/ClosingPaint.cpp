#include "ClosingPaint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Pictures {
namespace ClosingArt {

namespace {

uint8_t ClampByte(double value) { return static_cast<uint8_t>(std::min(255.0, std::max(0.0, value) + 0.5)); }

// Visits every pixel as four bytes B, G, R, A (premultiplied ARGB32 on a
// little-endian machine) with its coordinates.
template <class Visit>
void ForEachPixel(cairo_surface_t* surface, Visit visit)
{
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            visit(data + y * stride + x * 4, x, y);
    cairo_surface_mark_dirty(surface);
}

// One box pass over `count` pixels spaced `step` bytes apart.
void BoxPass(unsigned char* line, int count, int step, int radius, std::vector<int>& scratch)
{
    scratch.assign(static_cast<size_t>(count) * 4, 0);
    const int window = 2 * radius + 1;
    for (int channel = 0; channel < 4; ++channel) {
        int sum = 0;
        for (int i = 0; i <= radius && i < count; ++i)
            sum += line[i * step + channel];
        for (int i = 0; i < count; ++i) {
            scratch[static_cast<size_t>(i) * 4 + channel] = sum;
            const int enter = i + radius + 1;
            const int leave = i - radius;
            if (enter < count)
                sum += line[enter * step + channel];
            if (leave >= 0)
                sum -= line[leave * step + channel];
        }
    }
    for (int i = 0; i < count; ++i)
        for (int channel = 0; channel < 4; ++channel)
            line[i * step + channel] =
                static_cast<unsigned char>((scratch[static_cast<size_t>(i) * 4 + channel] + window / 2) / window);
}

} // namespace

Rgb Hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb Scaled(Rgb colour, double factor) { return {colour.r * factor, colour.g * factor, colour.b * factor}; }

void SetColour(cairo_t* cr, Rgb colour, double alpha) { cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha); }

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

void Blur(cairo_surface_t* surface, int radius)
{
    if (radius <= 0)
        return;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    // Three box passes of a third of the radius come close to a Gaussian.
    const int box = std::max(1, radius / 3);
    std::vector<int> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            BoxPass(data + y * stride, width, 4, box, scratch);
        for (int x = 0; x < width; ++x)
            BoxPass(data + x * 4, height, stride, box, scratch);
    }
    cairo_surface_mark_dirty(surface);
}

void AddLayer(cairo_t* target, cairo_surface_t* layer, double strength)
{
    cairo_save(target);
    cairo_set_operator(target, CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(target, layer, 0, 0);
    cairo_paint_with_alpha(target, strength);
    cairo_restore(target);
}

void AddGrain(cairo_surface_t* surface, double amount, uint32_t seed)
{
    Random random(seed);
    ForEachPixel(surface, [&](unsigned char* p, int, int) {
        const int alpha = p[3];
        if (alpha == 0)
            return;
        const double shift = (random.Unit() * 2.0 - 1.0) * amount * alpha;
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = static_cast<unsigned char>(std::clamp(p[channel] + shift, 0.0, static_cast<double>(alpha)));
    });
}

void InvertColours(cairo_surface_t* surface)
{
    ForEachPixel(surface, [](unsigned char* p, int, int) {
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = static_cast<unsigned char>(p[3] - std::min(p[channel], p[3]));
    });
}

void Vignette(cairo_surface_t* surface, double depth)
{
    const double cx = cairo_image_surface_get_width(surface) * 0.5;
    const double cy = cairo_image_surface_get_height(surface) * 0.5;
    ForEachPixel(surface, [&](unsigned char* p, int x, int y) {
        const double dx = (x - cx) / cx;
        const double dy = (y - cy) / cy;
        const double reach = std::min(1.0, (dx * dx + dy * dy) * 0.5);
        const double factor = 1.0 - depth * reach * reach;
        for (int channel = 0; channel < 3; ++channel)
            p[channel] = ClampByte(p[channel] * factor);
    });
}

void AddRadialLight(cairo_t* cr, double x, double y, double radius, Rgb colour, double alpha)
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

void TintCovered(cairo_t* cr, double from, double to, Rgb colour, double alpha)
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

void FillVertical(Canvas& canvas, const Rgb* stops, int count)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, canvas.height());
    for (int i = 0; i < count; ++i)
        cairo_pattern_add_color_stop_rgb(gradient, count > 1 ? i / (count - 1.0) : 0.0, stops[i].r, stops[i].g,
                                         stops[i].b);
    cairo_set_source(canvas.cr(), gradient);
    cairo_paint(canvas.cr());
    cairo_pattern_destroy(gradient);
}

void TextPath(cairo_t* cr, const std::string& text, double x, double y, double tracking, double wave)
{
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

} // namespace ClosingArt
} // namespace Pictures
