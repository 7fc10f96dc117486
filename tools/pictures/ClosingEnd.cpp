// The end scene: a last sunset over still water, and the closing words on
// black (the scene adds them onto the fading background).
#include "tools/pictures/ClosingPictures.h"
#include "tools/pictures/Paint.h"

#include <cmath>

namespace Pictures {
namespace ClosingArt {

namespace {

constexpr double Horizon = 318;

const Colour Ember = Hex(0xff8a4c);
const Colour Gold = Hex(0xffd08a);

void PaintStars(cairo_t* cr)
{
    Random random(1985u);
    for (int i = 0; i < 260; ++i) {
        const double x = random.Between(0, kScreenWidth);
        const double y = Horizon * std::pow(random.Unit(), 1.6) * 0.8;
        const double bright = random.Between(0.25, 1.0) * (1.0 - y / Horizon);
        cairo_arc(cr, x, y, random.Chance(0.1) ? 1.4 : 0.8, 0, 2 * M_PI);
        SetColour(cr, Mix(Hex(0xbfd0ff), Hex(0xffffff), random.Unit()), bright);
        cairo_fill(cr);
    }
}

void PaintSun(cairo_t* cr)
{
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, kScreenWidth, Horizon);
    cairo_clip(cr);
    cairo_translate(cr, 512, Horizon + 18);
    cairo_scale(cr, 1.0, kLetterboxSquash);
    cairo_pattern_t* disc = cairo_pattern_create_radial(0, -30, 5, 0, 0, 64);
    cairo_pattern_add_color_stop_rgb(disc, 0, 1.0, 0.95, 0.82);
    cairo_pattern_add_color_stop_rgb(disc, 1, 1.0, 0.55, 0.3);
    cairo_arc(cr, 0, 0, 64, 0, 2 * M_PI);
    cairo_set_source(cr, disc);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
    cairo_restore(cr);
}

// The sun's road on the water, broken into ripples.
void PaintReflection(cairo_t* cr)
{
    Random random(77u);
    for (double y = Horizon + 3; y < kScreenHeight; y += random.Between(3, 7)) {
        const double depth = (y - Horizon) / (kScreenHeight - Horizon);
        const double half = (12 + depth * 120) * random.Between(0.35, 1.0);
        const double x = 512 + random.Between(-14, 14) * (1 + depth * 4);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, half, 0.8 + depth * 1.5);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        SetColour(cr, Mix(Gold, Ember, depth), 0.6 * (1.0 - depth * 0.75));
        cairo_fill(cr);
    }
}

void PaintEndBackground(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    // Dusk above a sharp horizon, dark water below.
    FillVertical(canvas, {{0.0, Hex(0x070a22), 1.0},
                          {0.3, Hex(0x1a1642), 1.0},
                          {0.5, Hex(0x4a2456), 1.0},
                          {Horizon / kScreenHeight, Hex(0xc45a4e), 1.0},
                          {Horizon / kScreenHeight + 0.004, Hex(0x170d22), 1.0},
                          {0.8, Hex(0x0a0714), 1.0},
                          {1.0, Hex(0x040309), 1.0}});

    PaintStars(cr);
    cairo_save(cr);
    cairo_scale(cr, 1.0, kLetterboxSquash);
    AddRadialLight(cr, 512, Horizon / kLetterboxSquash, 620, Ember, 0.45);
    AddRadialLight(cr, 512, Horizon / kLetterboxSquash, 180, Gold, 0.5);
    cairo_restore(cr);
    PaintSun(cr);

    // Thin clouds lit from below.
    AddGlow(canvas, 9, 1.0, [](cairo_t* clouds) {
        Random random(12u);
        for (int i = 0; i < 9; ++i) {
            const double y = random.Between(170, 290);
            const double x = random.Between(-100, kScreenWidth);
            cairo_save(clouds);
            cairo_translate(clouds, x, y);
            cairo_scale(clouds, random.Between(120, 260), random.Between(3, 7));
            cairo_arc(clouds, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(clouds);
            SetColour(clouds, Mix(Ember, Hex(0xff5a8a), random.Unit()), 0.35 + (y - 170) / 400);
            cairo_fill(clouds);
        }
    });
    AddGlow(canvas, 3, 1.0, PaintReflection);
    AddGrainBytes(canvas, 0.03, 185u);
    VignetteBytes(canvas, 0.7);
}

void PaintEndText(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);

    const char* title = "THE END";
    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 136);
    const double tracking = 18;
    const double titleWidth = TextWidth(cr, title, tracking);
    const double baseline = 292;
    auto titlePath = [&](cairo_t* c) {
        cairo_select_font_face(c, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(c, 136);
        cairo_new_path(c);
        TextPathAt(c, title, (kScreenWidth - titleWidth) * 0.5, baseline, tracking);
    };
    AddGlow(canvas, 36, 1.0, [&](cairo_t* c) {
        titlePath(c);
        SetColour(c, Ember, 0.7);
        cairo_fill(c);
    });
    titlePath(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, baseline - 110, 0, baseline);
    cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.98, 0.9);
    cairo_pattern_add_color_stop_rgb(fill, 0.6, Gold.r, Gold.g, Gold.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, Ember.r, Ember.g, Ember.b);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);

    const char* farewell = "thank you for watching";
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 26);
    const double lineWidth = TextWidth(cr, farewell, 7);
    const double left = (kScreenWidth - lineWidth) * 0.5;
    cairo_new_path(cr);
    TextPathAt(cr, farewell, left, 352, 7);
    SetColour(cr, Hex(0xf2dcc8), 0.85);
    cairo_fill(cr);
    // Fine rules either side of the farewell.
    cairo_set_line_width(cr, 1.5);
    for (double side : {-1.0, 1.0}) {
        const double inner = side < 0 ? left - 24 : left + lineWidth + 24;
        cairo_pattern_t* rule = cairo_pattern_create_linear(inner, 0, inner + side * 150, 0);
        cairo_pattern_add_color_stop_rgba(rule, 0, Gold.r, Gold.g, Gold.b, 0.9);
        cairo_pattern_add_color_stop_rgba(rule, 1, Gold.r, Gold.g, Gold.b, 0.0);
        cairo_move_to(cr, inner, 343);
        cairo_line_to(cr, inner + side * 150, 343);
        cairo_set_source(cr, rule);
        cairo_stroke(cr);
        cairo_pattern_destroy(rule);
    }
}

} // namespace

void WriteEndPictures(const std::string& endDir)
{
    Canvas background(kScreenWidth, kScreenHeight);
    PaintEndBackground(background);
    background.Save(endDir + "/baggrund.png");

    Canvas text(kScreenWidth, kScreenHeight);
    PaintEndText(text);
    text.Save(endDir + "/text.png");
}

} // namespace ClosingArt
} // namespace Pictures
