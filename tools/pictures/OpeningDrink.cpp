// The drink scene: lime and cane sugar. A tall glass of lime, ice and a straw,
// drawn in light on black (it is added onto the black screen), and a
// lime-green burst for the bass flash.
#include "tools/pictures/OpeningScenes.h"

#include <cmath>

namespace Pictures {

namespace {

constexpr double kGlassLeft = 52, kGlassRight = 204, kGlassTop = 150, kGlassBottom = 730;
constexpr double kLiquidTop = 250;

void GlassOutline(cairo_t* cr, double inset)
{
    const double taper = 10;
    cairo_move_to(cr, kGlassLeft - taper + inset, kGlassTop);
    cairo_line_to(cr, kGlassLeft + inset, kGlassBottom - 24);
    cairo_curve_to(cr, kGlassLeft + inset, kGlassBottom - inset, kGlassLeft + 20, kGlassBottom - inset,
                   kGlassLeft + 30, kGlassBottom - inset);
    cairo_line_to(cr, kGlassRight - 30, kGlassBottom - inset);
    cairo_curve_to(cr, kGlassRight - 20, kGlassBottom - inset, kGlassRight - inset, kGlassBottom - inset,
                   kGlassRight - inset, kGlassBottom - 24);
    cairo_line_to(cr, kGlassRight + taper - inset, kGlassTop);
}

void IceCube(cairo_t* cr, double cx, double cy, double size, double turn)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, turn);
    const double h = size / 2, round = size * 0.18;
    cairo_new_sub_path(cr);
    cairo_arc(cr, h - round, -h + round, round, -M_PI / 2, 0);
    cairo_arc(cr, h - round, h - round, round, 0, M_PI / 2);
    cairo_arc(cr, -h + round, h - round, round, M_PI / 2, M_PI);
    cairo_arc(cr, -h + round, -h + round, round, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void LimeWedge(cairo_t* cr, double cx, double cy, double radius, double turn)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, turn);
    cairo_arc(cr, 0, 0, radius, 0, M_PI);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.35, 0.85, 0.1, 0.9);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, radius * 0.82, 0, M_PI);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.75, 1.0, 0.45, 0.85);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.95, 1.0, 0.8, 0.9);
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 4; ++i) {
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, radius * 0.8 * std::cos(M_PI * i / 4), radius * 0.8 * std::sin(M_PI * i / 4));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Shown on a 1 x 3 quad from a 256 x 1024 picture: painted on a 256 x 768
// layout stretched to fill it, so it looks right once squeezed back.
void WriteGlass(const std::string& path)
{
    Canvas glass(256, 1024);
    FillVertical(glass, {{0.0, {0, 0, 0}, 1.0}, {1.0, {0, 0, 0}, 1.0}});
    PaintWithGlow(glass, 8, 1.3, [](cairo_t* cr) {
        cairo_scale(cr, 1.0, 1024.0 / 768.0);
        // The drink: a lime glow, bright at the top where light comes through.
        GlassOutline(cr, 6);
        cairo_line_to(cr, kGlassRight, kLiquidTop);
        cairo_line_to(cr, kGlassLeft - 4, kLiquidTop);
        cairo_close_path(cr);
        cairo_pattern_t* drink = cairo_pattern_create_linear(0, kLiquidTop, 0, kGlassBottom);
        cairo_pattern_add_color_stop_rgba(drink, 0.0, 0.55, 0.9, 0.3, 0.75);
        cairo_pattern_add_color_stop_rgba(drink, 0.6, 0.25, 0.6, 0.1, 0.55);
        cairo_pattern_add_color_stop_rgba(drink, 1.0, 0.5, 0.85, 0.2, 0.8);
        cairo_set_source(cr, drink);
        cairo_fill(cr);
        cairo_pattern_destroy(drink);
        // Crushed lime at the bottom.
        for (int i = 0; i < 5; ++i)
            LimeWedge(cr, 80 + i * 24, 690 - (i % 2) * 14, 20, 0.4 * i - 0.8);
        // Ice: bright rims, milky faces.
        for (int i = 0; i < 7; ++i) {
            IceCube(cr, 88 + (i % 2) * 70 + (i % 3) * 6, 240 + i * 58, 58, 0.3 * i);
            cairo_set_source_rgba(cr, 0.8, 1.0, 0.9, 0.18);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0.95, 1.0, 0.95, 0.7);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        // Straw, leaning out over the rim.
        cairo_set_line_width(cr, 10);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, 150, 640);
        cairo_line_to(cr, 178, 170);
        cairo_line_to(cr, 222, 70);
        cairo_set_source_rgba(cr, 0.95, 0.85, 0.35, 0.9);
        cairo_stroke(cr);
        // A lime slice on the rim.
        LimeWedge(cr, 72, 150, 34, M_PI);
        // The glass: a bright rim and edges, with a highlight streak.
        GlassOutline(cr, 0);
        cairo_set_source_rgba(cr, 0.85, 1.0, 0.9, 0.95);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        cairo_move_to(cr, kGlassLeft + 14, kGlassTop + 40);
        cairo_line_to(cr, kGlassLeft + 22, kGlassBottom - 60);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_translate(cr, (kGlassLeft + kGlassRight) / 2, kGlassTop);
        cairo_scale(cr, 1.0, 0.12);
        cairo_arc(cr, 0, 0, (kGlassRight - kGlassLeft) / 2 + 10, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_set_source_rgba(cr, 0.9, 1.0, 0.9, 0.9);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }, true);
    // Bubbles of sugar and condensation, then a clean black frame.
    for (int i = 0; i < 50; ++i) {
        const double x = kGlassLeft + 10 + std::fmod(i * 37.3, kGlassRight - kGlassLeft - 20);
        const double y = (kLiquidTop + 20 + std::fmod(i * 83.9, kGlassBottom - kLiquidTop - 40)) * 1024.0 / 768.0;
        AddLight(glass, x, y, 3 + std::fmod(i * 1.7, 4), {0.8, 1.0, 0.7}, 0.7);
    }
    FadeBorder(glass, 12, false);
    glass.Save(path);
}

// Lime light bursting from the middle, white at the heart.
void WriteLimeFlash(const std::string& path)
{
    Canvas flash(kScreenWidth, kScreenHeight);
    FillVertical(flash, {{0.0, {0.55, 0.8, 0.2}, 1.0}, {0.5, {0.75, 0.95, 0.35}, 1.0}, {1.0, {0.45, 0.7, 0.15}, 1.0}});
    const double cx = kScreenWidth / 2.0, cy = kScreenHeight / 2.0;
    ForEachPixel(flash, [&](int x, int y, double& r, double& g, double& b, double&) {
        const double dx = x - cx, dy = (y - cy) / kLetterboxSquash;
        const double angle = std::atan2(dy, dx), distance = std::sqrt(dx * dx + dy * dy) / cx;
        const double rays = std::pow(0.5 + 0.5 * std::cos(angle * 16), 4.0) * 0.35 * (1.0 - std::min(1.0, distance));
        r += rays;
        g += rays;
        b += rays * 0.6;
    });
    AddLight(flash, cx, cy, 560, {1, 1, 0.9}, 0.9, kLetterboxSquash);
    AddGrain(flash, 0.02, 91);
    flash.Save(path);
}

} // namespace

void WriteDrinkPictures(const std::string& dataDir)
{
    const std::string dir = dataDir + "/drink";
    WriteGlass(dir + "/caipirinha.png");
    WriteLimeFlash(dir + "/flash.png");
}

} // namespace Pictures
