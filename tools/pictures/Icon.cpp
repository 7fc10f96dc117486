// The menu icon: the loading card's night sky and glowing name, reduced to a
// ring of light round the name's first letter on a rounded tile.
#include "tools/pictures/Canvas.h"
#include "tools/pictures/Paint.h"

#include <cmath>

namespace Pictures {

namespace {

constexpr int kIconSize = 256; // drawn once at this size, scaled down for the rest
constexpr int kIconSizes[] = {256, 128, 64, 48, 32};

void RoundedTile(cairo_t* cr, double inset, double size, double radius)
{
    const double a = inset, b = inset + size;
    cairo_new_sub_path(cr);
    cairo_arc(cr, b - radius, a + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, b - radius, b - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, a + radius, b - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, a + radius, a + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void PaintIcon(Canvas& icon)
{
    const double size = kIconSize, centre = size / 2;
    // The sky of the loading card, with its two lights.
    Canvas sky(kIconSize, kIconSize);
    FillVertical(sky, {{0.0, {0.03, 0.02, 0.09}, 1.0}, {1.0, {0.08, 0.03, 0.15}, 1.0}});
    AddLight(sky, size * 0.3, size * 0.3, size * 0.6, {0.35, 0.15, 0.6}, 0.6);
    AddLight(sky, size * 0.75, size * 0.75, size * 0.55, {0.05, 0.35, 0.55}, 0.55);
    // A tilted ring of light, as the city's rings are seen from the side.
    PaintWithGlow(
        sky, 8, 1.6,
        [&](cairo_t* cr) {
            cairo_save(cr);
            cairo_translate(cr, centre, centre + 6);
            cairo_rotate(cr, -0.35);
            cairo_scale(cr, 1.0, 0.42);
            cairo_arc(cr, 0, 0, 96, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_pattern_t* hue = cairo_pattern_create_linear(0, 0, size, 0);
            cairo_pattern_add_color_stop_rgb(hue, 0.0, 0.4, 0.85, 1.0);
            cairo_pattern_add_color_stop_rgb(hue, 1.0, 0.95, 0.4, 1.0);
            cairo_set_source(cr, hue);
            cairo_set_line_width(cr, 7);
            cairo_stroke(cr);
            cairo_pattern_destroy(hue);
        },
        true);
    // The name's first letter, in the name's gradient and outline.
    PaintWithGlow(sky, 10, 1.4, [&](cairo_t* cr) {
        TextPath(cr, "r", {"DejaVu Sans", true, false}, 170, centre, centre - 4, 0, 0.12);
        cairo_pattern_t* fill = cairo_pattern_create_linear(0, centre - 70, 0, centre + 70);
        cairo_pattern_add_color_stop_rgb(fill, 0.0, 0.55, 0.95, 1.0);
        cairo_pattern_add_color_stop_rgb(fill, 1.0, 0.95, 0.35, 0.95);
        cairo_set_source(cr, fill);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(fill);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    });
    Vignette(sky, 0.4);
    // Only the rounded tile is kept; round it the icon is transparent.
    cairo_t* cr = icon.cr();
    cairo_set_source_surface(cr, sky.surface(), 0, 0);
    RoundedTile(cr, 8, size - 16, 40);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.7, 0.8, 1.0, 0.35);
    cairo_set_line_width(cr, 2);
    RoundedTile(cr, 9, size - 18, 39);
    cairo_stroke(cr);
}

} // namespace

void WriteIcons(const std::string& iconDir)
{
    Canvas icon(kIconSize, kIconSize);
    PaintIcon(icon);
    for (int size : kIconSizes) {
        Canvas scaled(size, size);
        cairo_t* cr = scaled.cr();
        cairo_scale(cr, static_cast<double>(size) / kIconSize, static_cast<double>(size) / kIconSize);
        cairo_set_source_surface(cr, icon.surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
        cairo_paint(cr);
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        scaled.Save(iconDir + "/" + name + "/apps/ruvo.png");
    }
}

} // namespace Pictures
