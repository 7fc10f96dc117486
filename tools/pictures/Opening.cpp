// The loading card, the logo scene, and the backdrop every opening scene builds on.
#include "tools/pictures/OpeningScenes.h"

#include <cmath>
#include <random>

namespace Pictures {

void WriteOpeningPictures(const std::string& dataDir)
{
    WriteLoadingPicture(dataDir);
    WriteLogoPictures(dataDir);
    WriteParticlePictures(dataDir);
    WriteCylinderPictures(dataDir);
    WriteBallPictures(dataDir);
    WriteDrinkPictures(dataDir);
}

void PaintBackdrop(Canvas& canvas, const ScenePalette& palette, unsigned seed)
{
    const double w = canvas.width(), h = canvas.height();
    FillVertical(canvas, {{0.0, palette.top, 1.0}, {1.0, palette.bottom, 1.0}});
    // Drifting haze in the two hues.
    const PeriodicNoise haze(8, seed);
    ForEachPixel(canvas, [&](int x, int y, double& r, double& g, double& b, double&) {
        const double n = haze.Fractal(x / w * 8.0, y / h * 4.0, 4);
        const double m = haze.Fractal(x / w * 8.0 + 3.3, y / h * 4.0 + 1.7, 3);
        const double k = 0.35 * n * n;
        const Colour tint = Mix(palette.lightA, palette.lightB, m);
        r += tint.r * k;
        g += tint.g * k;
        b += tint.b * k;
    });
    AddLight(canvas, w * 0.28, h * 0.35, w * 0.45, palette.lightA, 0.45, kLetterboxSquash);
    AddLight(canvas, w * 0.78, h * 0.7, w * 0.4, palette.lightB, 0.4, kLetterboxSquash);
    // Out-of-focus points of light.
    std::mt19937 random(seed * 7 + 1);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 28; ++i) {
        const double cx = unit(random) * w, cy = unit(random) * h, radius = 6 + unit(random) * 34;
        const Colour colour = Mix(palette.lightA, palette.lightB, unit(random));
        cairo_t* cr = canvas.cr();
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1.0, kLetterboxSquash);
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        cairo_pattern_t* disc = cairo_pattern_create_radial(0, 0, radius * 0.6, 0, 0, radius);
        const double alpha = 0.05 + 0.12 * unit(random);
        cairo_pattern_add_color_stop_rgba(disc, 0.0, colour.r, colour.g, colour.b, alpha);
        cairo_pattern_add_color_stop_rgba(disc, 0.85, colour.r, colour.g, colour.b, alpha * 1.6);
        cairo_pattern_add_color_stop_rgba(disc, 1.0, colour.r, colour.g, colour.b, 0.0);
        cairo_set_source(cr, disc);
        cairo_arc(cr, 0, 0, radius, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(disc);
        cairo_restore(cr);
    }
}

void FinishBackdrop(Canvas& canvas, unsigned seed)
{
    Vignette(canvas, 0.65);
    AddGrain(canvas, 0.025, seed);
}

void SaveWithFlash(Canvas& background, const std::string& dir, Colour flashTint)
{
    background.Save(dir + "/baggrund.png");
    Canvas flash(background.width(), background.height());
    Brighten(background, flash, 1.15, 0.45);
    AddLight(flash, flash.width() / 2.0, flash.height() / 2.0, flash.width() * 0.6, flashTint, 0.45,
             kLetterboxSquash);
    AddLight(flash, flash.width() / 2.0, flash.height() / 2.0, flash.width() * 0.25, {1, 1, 1}, 0.3,
             kLetterboxSquash);
    flash.Save(dir + "/flash.png");
}

namespace {

// Fills the current path with a top-to-bottom gradient between two colours.
void FillWithGradient(cairo_t* cr, double top, double bottom, Colour from, Colour to)
{
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(fill, 0.0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(fill, 1.0, to.r, to.g, to.b);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
}

// The name, squashed for the letterbox stretch, centred on (cx, cy).
void NamePath(cairo_t* cr, double size, double cx, double cy, double squash)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1.0, squash);
    TextPath(cr, "ruvo", {"DejaVu Sans", true, false}, size, 0, 0, size * 0.08, 0.12);
    cairo_restore(cr);
}

} // namespace

void WriteLoadingPicture(const std::string& dataDir)
{
    const ScenePalette night{{0.02, 0.01, 0.06}, {0.05, 0.02, 0.1}, {0.35, 0.15, 0.6}, {0.05, 0.35, 0.55}};
    Canvas card(kScreenWidth, kScreenHeight);
    PaintBackdrop(card, night, 11);
    const double cx = kScreenWidth / 2.0, cy = 220;
    // Two hairlines that frame the name and fade out toward the sides.
    PaintWithGlow(card, 6, 1.5, [&](cairo_t* cr) {
        for (double y : {cy - 120.0, cy + 112.0}) {
            FillBand(cr, cx - 380, y, 760, 1.5, true,
                     {{0.0, {0.4, 0.8, 1.0}, 0.0}, {0.5, {0.8, 0.9, 1.0}, 0.9}, {1.0, {0.9, 0.4, 1.0}, 0.0}});
        }
    });
    PaintWithGlow(card, 22, 1.6, [&](cairo_t* cr) {
        NamePath(cr, 190, cx, cy, kLetterboxSquash);
        FillWithGradient(cr, cy - 80, cy + 80, {0.55, 0.95, 1.0}, {0.95, 0.35, 0.95});
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    });
    // "loading" under the name, with a progress bar a third of the way along.
    const double by = 395;
    PaintWithGlow(card, 5, 1.2, [&](cairo_t* cr) {
        cairo_save(cr);
        cairo_translate(cr, cx, by - 32);
        cairo_scale(cr, 1.0, kLetterboxSquash);
        TextPath(cr, "loading", {"DejaVu Sans Mono", false, false}, 26, 0, 0, 9);
        cairo_restore(cr);
        cairo_set_source_rgb(cr, 0.8, 0.9, 1.0);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 0.6, 0.7, 0.9, 0.35);
        cairo_rectangle(cr, cx - 160, by, 320, 3);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.6, 0.95, 1.0);
        cairo_rectangle(cr, cx - 160, by, 110, 3);
        cairo_fill(cr);
    });
    FinishBackdrop(card, 12);
    card.Save(dataDir + "/loader/loading.png");
}

void WriteLogoPictures(const std::string& dataDir)
{
    // Dawn: deep teal sky warming to amber at the horizon.
    const ScenePalette dawn{{0.01, 0.06, 0.1}, {0.35, 0.16, 0.05}, {0.1, 0.45, 0.55}, {1.0, 0.55, 0.2}};
    Canvas background(kScreenWidth, kScreenHeight);
    PaintBackdrop(background, dawn, 21);
    const double horizon = kScreenHeight * 0.68;
    AddLight(background, kScreenWidth * 0.5, horizon, 700, {1.0, 0.6, 0.25}, 0.7, 0.25);
    // Rays fanning up from the sun on the horizon.
    PaintWithGlow(background, 10, 0.8, [&](cairo_t* cr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        for (int i = 0; i < 13; ++i) {
            const double angle = M_PI * (0.08 + 0.84 * i / 12.0);
            const double spread = 0.025 + 0.02 * ((i * 5) % 3);
            cairo_move_to(cr, kScreenWidth * 0.5, horizon);
            cairo_line_to(cr, kScreenWidth * 0.5 + 1400 * std::cos(angle - spread), horizon - 1400 * std::sin(angle - spread));
            cairo_line_to(cr, kScreenWidth * 0.5 + 1400 * std::cos(angle + spread), horizon - 1400 * std::sin(angle + spread));
            cairo_close_path(cr);
            cairo_pattern_t* ray = cairo_pattern_create_radial(kScreenWidth * 0.5, horizon, 0, kScreenWidth * 0.5, horizon, 600);
            cairo_pattern_add_color_stop_rgba(ray, 0.0, 1.0, 0.75, 0.45, 0.22);
            cairo_pattern_add_color_stop_rgba(ray, 1.0, 1.0, 0.6, 0.3, 0.0);
            cairo_set_source(cr, ray);
            cairo_fill(cr);
            cairo_pattern_destroy(ray);
        }
        // The horizon itself: a thin bright seam.
        cairo_set_source_rgba(cr, 1.0, 0.8, 0.55, 0.8);
        cairo_rectangle(cr, 0, horizon - 1, kScreenWidth, 2);
        cairo_fill(cr);
    });
    FinishBackdrop(background, 22);
    background.Save(dataDir + "/logo/baggrund.png");

    // The logo, added on black onto a 2:1 quad: the name with a warm glow and
    // a lens streak through it.
    Canvas logo(512, 256);
    FillVertical(logo, {{0.0, {0, 0, 0}, 1.0}, {1.0, {0, 0, 0}, 1.0}});
    PaintWithGlow(logo, 4, 2.0, [&](cairo_t* cr) {
        FillBand(cr, 40, 127, 432, 2, true,
                 {{0.0, {1.0, 0.6, 0.2}, 0.0}, {0.5, {1.0, 0.9, 0.7}, 0.9}, {1.0, {1.0, 0.6, 0.2}, 0.0}});
    }, true);
    PaintWithGlow(logo, 12, 1.8, [&](cairo_t* cr) {
        NamePath(cr, 118, 256, 122, 1.0);
        FillWithGradient(cr, 80, 165, {1.0, 0.97, 0.85}, {1.0, 0.6, 0.25});
        cairo_new_path(cr);
        cairo_set_source_rgb(cr, 0.2, 0.8, 0.9);
        cairo_set_line_width(cr, 1.5);
        cairo_arc(cr, 256, 124, 108, M_PI * 1.08, M_PI * 1.92);
        cairo_stroke(cr);
    }, true);
    FadeBorder(logo, 18, false);
    logo.Save(dataDir + "/logo/logo.png");
}

} // namespace Pictures
