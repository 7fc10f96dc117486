// The box scene's background (with its inverted twin and its flash) and the
// three box faces. Palette: midnight teal, cyan light, amber accents.
#include "tools/pictures/ClosingPictures.h"
#include "tools/pictures/Paint.h"

#include <cmath>

namespace Pictures {
namespace ClosingArt {

namespace {

constexpr double HorizonY = 300;

const Colour Cyan = Hex(0x46d8ea);
const Colour Amber = Hex(0xffb347);

// A floor grid running to the horizon, brighter toward the viewer.
void PaintFloorGrid(cairo_t* cr)
{
    SetColour(cr, Cyan, 1.0);
    cairo_set_line_width(cr, 1.3);
    for (int d = 0; d < 400; ++d) {
        const double y = HorizonY + 900.0 / (d + 3.5);
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, kScreenWidth, y);
    }
    for (int k = -24; k <= 24; ++k) {
        cairo_move_to(cr, 512, HorizonY);
        cairo_line_to(cr, 512 + k * 110, kScreenHeight + 212);
    }
    cairo_stroke(cr);
}

void AddFadedGrid(Canvas& canvas, double strength)
{
    Canvas grid(kScreenWidth, kScreenHeight);
    PaintFloorGrid(grid.cr());
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, HorizonY, 0, kScreenHeight);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, strength);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(cr, grid.surface(), 0, 0);
    cairo_mask(cr, fade);
    BlurBytes(grid, 9);
    cairo_set_source_surface(cr, grid.surface(), 0, 0);
    cairo_mask(cr, fade);
    cairo_restore(cr);
    cairo_pattern_destroy(fade);
}

// Floating squares out of focus, echoing the boxes.
void PaintBokeh(cairo_t* cr, Random& random, int count, double minSize, double maxSize)
{
    for (int i = 0; i < count; ++i) {
        const double size = random.Between(minSize, maxSize);
        const double x = random.Between(0, kScreenWidth), y = random.Between(20, HorizonY + 60);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1.0, kLetterboxSquash);
        cairo_rotate(cr, random.Between(0, M_PI / 2));
        cairo_rectangle(cr, -size / 2, -size / 2, size, size);
        SetColour(cr, random.Chance(0.3) ? Amber : Cyan, random.Between(0.12, 0.45));
        if (random.Chance(0.5)) {
            cairo_fill(cr);
        } else {
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
    }
}

void PaintBoxBackground(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    FillVertical(canvas, {{0.0, Hex(0x031319), 1.0},
                          {0.25, Hex(0x093240), 1.0},
                          {0.5, Hex(0x0b3a47), 1.0},
                          {0.75, Hex(0x05202a), 1.0},
                          {1.0, Hex(0x020a0e), 1.0}});
    cairo_save(cr);
    cairo_scale(cr, 1.0, kLetterboxSquash);
    AddRadialLight(cr, 512, HorizonY / kLetterboxSquash, 560, Hex(0x1d8a9a), 0.55);
    AddRadialLight(cr, 512, HorizonY / kLetterboxSquash, 200, Hex(0x9ae9f2), 0.25);
    cairo_restore(cr);

    // Light falling from above in broad, soft beams.
    AddGlow(canvas, 30, 1.0, [](cairo_t* beams) {
        for (int i = 0; i < 5; ++i) {
            const double x = 180 + i * 165;
            cairo_move_to(beams, x - 20, -10);
            cairo_line_to(beams, x + 20, -10);
            cairo_line_to(beams, x + 90 + i * 10, HorizonY + 40);
            cairo_line_to(beams, x - 60 + i * 10, HorizonY + 40);
            cairo_close_path(beams);
        }
        SetColour(beams, Hex(0x5fd6e6), 0.10);
        cairo_fill(beams);
    });

    // A warm line of light along the horizon.
    cairo_save(cr);
    cairo_translate(cr, 512, HorizonY);
    cairo_scale(cr, 6.0, 0.5);
    AddRadialLight(cr, 0, 0, 90, Amber, 0.35);
    cairo_restore(cr);

    AddFadedGrid(canvas, 0.55);
    Random random(4242u);
    AddGlow(canvas, 12, 1.0, [&](cairo_t* far) { PaintBokeh(far, random, 45, 8, 26); });
    AddGlow(canvas, 6, 1.0, [&](cairo_t* near) { PaintBokeh(near, random, 14, 30, 70); });

    AddGrainBytes(canvas, 0.035, 99u);
    VignetteBytes(canvas, 0.65);
}

// The same room overexposed: the light that a bass beat throws.
void PaintFlash(Canvas& flash, Canvas& background)
{
    cairo_t* cr = flash.cr();
    cairo_set_source_surface(cr, background.surface(), 0, 0);
    cairo_paint(cr);
    AddLayer(flash, background, 0.8);
    cairo_save(cr);
    cairo_scale(cr, 1.0, kLetterboxSquash);
    AddRadialLight(cr, 512, HorizonY / kLetterboxSquash, 700, Hex(0x7fe6f2), 0.75);
    AddRadialLight(cr, 512, HorizonY / kLetterboxSquash, 260, Hex(0xfff4e0), 0.8);
    cairo_restore(cr);
    AddFadedGrid(flash, 1.0);
}

// --- box faces ------------------------------------------------------------

constexpr int Face = 256;

// Sets a gradient from the face's top-left corner to its bottom-right one as
// the source.
void SetDiagonalSource(cairo_t* cr, Colour from, Colour to)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, Face, Face);
    cairo_pattern_add_color_stop_rgb(gradient, 0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, to.r, to.g, to.b);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient); // the context keeps its own reference
}

// A bevelled frame with corner bolts around a face.
void PaintFrame(cairo_t* cr, Colour light, Colour dark)
{
    const double edge = 14;
    cairo_set_line_width(cr, edge);
    cairo_rectangle(cr, edge / 2, edge / 2, Face - edge, Face - edge);
    SetDiagonalSource(cr, light, dark);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, edge + 1, edge + 1, Face - 2 * edge - 2, Face - 2 * edge - 2);
    SetColour(cr, Scaled(dark, 0.5), 0.9);
    cairo_stroke(cr);
    cairo_rectangle(cr, 1, 1, Face - 2, Face - 2);
    SetColour(cr, Scaled(light, 1.2), 0.6);
    cairo_stroke(cr);
    for (double x : {edge / 2, Face - edge / 2})
        for (double y : {edge / 2, Face - edge / 2}) {
            cairo_arc(cr, x, y, 4.5, 0, 2 * M_PI);
            SetColour(cr, Scaled(dark, 0.6));
            cairo_fill_preserve(cr);
            SetColour(cr, light, 0.8);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
}

void FillDiagonal(cairo_t* cr, Colour from, Colour to)
{
    SetDiagonalSource(cr, from, to);
    cairo_paint(cr);
}

// Teal circuit board with glowing traces.
void PaintCircuitFace(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    FillDiagonal(cr, Hex(0x16707e), Hex(0x06303a));
    Random random(31u);
    auto traces = [&random](cairo_t* c) {
        Random walk = random;
        SetColour(c, Hex(0x7ff4ff), 0.9);
        cairo_set_line_width(c, 3);
        for (int t = 0; t < 14; ++t) {
            double x = 24 + walk.Below(11) * 20, y = 24 + walk.Below(11) * 20;
            cairo_move_to(c, x, y);
            for (int s = 0; s < 4; ++s) {
                const double length = 20.0 * (1 + walk.Below(4));
                if (walk.Chance(0.5))
                    x = std::fmin(232, std::fmax(24, x + (walk.Chance(0.5) ? length : -length)));
                else
                    y = std::fmin(232, std::fmax(24, y + (walk.Chance(0.5) ? length : -length)));
                cairo_line_to(c, x, y);
            }
            cairo_stroke(c);
            cairo_arc(c, x, y, 5, 0, 2 * M_PI);
            cairo_fill(c);
        }
        cairo_rectangle(c, 98, 98, 60, 60);
        cairo_stroke(c);
    };
    traces(cr);
    AddGlow(canvas, 9, 1.0, traces);
    cairo_rectangle(cr, 102, 102, 52, 52);
    SetColour(cr, Hex(0x041c22), 0.95);
    cairo_fill(cr);
    PaintFrame(cr, Hex(0x8fe9f2), Hex(0x0a3a44));
}

// Amber plate with soft stripes and a raised ring.
void PaintAmberFace(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* base = cairo_pattern_create_radial(128, 128, 10, 128, 128, 190);
    cairo_pattern_add_color_stop_rgb(base, 0, 1.0, 0.76, 0.36);
    cairo_pattern_add_color_stop_rgb(base, 1, 0.52, 0.27, 0.06);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);
    SetColour(cr, Hex(0x5a2a04), 0.22);
    cairo_set_line_width(cr, 16);
    for (int k = -8; k < 8; ++k) {
        cairo_move_to(cr, k * 36, Face);
        cairo_line_to(cr, k * 36 + Face, 0);
    }
    cairo_stroke(cr);
    cairo_set_line_width(cr, 14);
    cairo_arc(cr, 128, 128, 62, 0, 2 * M_PI);
    SetColour(cr, Hex(0x6a3508), 0.8);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, 128, 128, 66, M_PI * 0.9, M_PI * 1.6);
    SetColour(cr, Hex(0xffe2a8), 0.85);
    cairo_stroke(cr);
    AddRadialLight(cr, 128, 128, 40, Hex(0xfff0c8), 0.6);
    PaintFrame(cr, Hex(0xffd08a), Hex(0x5a2c06));
}

// Pale panel of nested insets around a cyan lamp.
void PaintLampFace(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    FillDiagonal(cr, Hex(0xe4eeeb), Hex(0x92a8aa));
    for (int ring = 0; ring < 4; ++ring) {
        const double inset = 30 + ring * 18;
        cairo_rectangle(cr, inset + 1.5, inset + 1.5, Face - 2 * inset, Face - 2 * inset);
        SetColour(cr, Hex(0xffffff), 0.55);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_rectangle(cr, inset, inset, Face - 2 * inset, Face - 2 * inset);
        SetColour(cr, Hex(0x41575c), 0.55);
        cairo_stroke(cr);
    }
    auto lamp = [](cairo_t* c) {
        cairo_rectangle(c, 112, 112, 32, 32);
        SetColour(c, Hex(0x5ff0ff));
        cairo_fill(c);
    };
    AddGlow(canvas, 24, 1.0, lamp);
    lamp(cr);
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 13);
    SetColour(cr, Hex(0x2c3d41), 0.8);
    cairo_move_to(cr, 24, 238);
    cairo_show_text(cr, "RV-03");
    PaintFrame(cr, Hex(0xf4fbfa), Hex(0x5b7074));
}

} // namespace

void WriteBoxBackgrounds(const std::string& boxDir)
{
    Canvas background(kScreenWidth, kScreenHeight);
    PaintBoxBackground(background);
    background.Save(boxDir + "/baggrund.png");

    Canvas flash(kScreenWidth, kScreenHeight);
    PaintFlash(flash, background);
    flash.Save(boxDir + "/flash.png");

    Invert(background);
    background.Save(boxDir + "/baggrund-inv.png");
}

void WriteBoxFaces(const std::string& boxDir)
{
    void (*const painters[])(Canvas&) = {PaintCircuitFace, PaintAmberFace, PaintLampFace};
    for (int i = 0; i < 3; ++i) {
        Canvas face(Face, Face);
        painters[i](face);
        AddGrainBytes(face, 0.04, 500u + i);
        face.Save(boxDir + "/kasse" + std::to_string(i + 1) + ".png");
    }
}

} // namespace ClosingArt
} // namespace Pictures
