// The cylinder scene: cold blue steel and cyan light. Two tube skins that the
// bass swaps (dark ringed panels, bright chevrons), a banner with alpha, and
// a backdrop of light streaks over a receding grid.
#include "tools/pictures/OpeningScenes.h"

#include <cmath>

namespace Pictures {

namespace {

const ScenePalette kSteel{{0.0, 0.02, 0.06}, {0.02, 0.06, 0.14}, {0.1, 0.55, 0.9}, {0.3, 0.9, 1.0}};
constexpr int kSkinSize = 256;

// Distance (in texture units) from u to the nearest of `count` evenly spaced
// lines over [0, 1): periodic, so it tiles.
double LineDistance(double u, int count)
{
    const double p = u * count;
    return std::fabs(p - std::round(p)) / count;
}

double Glow(double distance, double width) { return std::exp(-(distance * distance) / (width * width)); }

// Dark panels with glowing cyan rings and a row of rivets, a little worn.
void WriteRingedSkin(const std::string& path)
{
    Canvas skin(kSkinSize, kSkinSize);
    const PeriodicNoise wear(8, 51);
    ForEachPixel(skin, [&](int x, int y, double& r, double& g, double& b, double& a) {
        const double u = (x + 0.5) / kSkinSize, v = (y + 0.5) / kSkinSize;
        const double grime = wear.Fractal(u * 8, v * 8, 4);
        const double ring = Glow(LineDistance(v, 2), 0.012) + 0.4 * Glow(LineDistance(v + 0.25, 2), 0.004);
        const double seam = 0.5 * Glow(LineDistance(u, 2), 0.004);
        const double rivetU = LineDistance(u + 0.125, 4), rivetV = LineDistance(v + 0.25, 2) ;
        const double rivet = Glow(std::sqrt(rivetU * rivetU + rivetV * rivetV), 0.012);
        const double base = 0.1 + 0.12 * grime;
        r = base * 0.4 + 0.2 * ring + 0.3 * rivet + 0.1 * seam;
        g = base * 0.7 + 0.85 * ring + 0.6 * rivet + 0.45 * seam;
        b = base * 1.2 + 1.0 * ring + 0.8 * rivet + 0.6 * seam;
        a = 1.0;
    });
    skin.Save(path);
}

// Bright ice-blue plates cut by dark diagonal chevrons: clearly the other skin.
void WriteChevronSkin(const std::string& path)
{
    Canvas skin(kSkinSize, kSkinSize);
    const PeriodicNoise sheen(4, 52);
    ForEachPixel(skin, [&](int x, int y, double& r, double& g, double& b, double& a) {
        const double u = (x + 0.5) / kSkinSize, v = (y + 0.5) / kSkinSize;
        // |u - 0.5| folds the stripes into chevrons; both terms tile.
        const double fold = std::fabs(u - 0.5);
        const double stripe = 0.5 + 0.5 * std::cos(2 * M_PI * (3 * v + 2 * fold));
        const double band = stripe > 0.55 ? 1.0 : (stripe < 0.45 ? 0.0 : (stripe - 0.45) / 0.1);
        const double light = 0.75 + 0.25 * sheen.Fractal(u * 4, v * 4, 3);
        const double edge = Glow(stripe - 0.5, 0.06);
        r = band * light * 0.75 + 0.1 * edge;
        g = band * light * 0.95 + 0.5 * edge + (1 - band) * 0.06;
        b = band * light * 1.0 + 0.8 * edge + (1 - band) * 0.16;
        a = 1.0;
    });
    skin.Save(path);
}

// A glass strip with cyan edges and the name, mostly see-through; shown on a
// 3 x 1 quad, so it is painted on a 768 x 256 layout squeezed into 512 x 256.
void WriteBanner(const std::string& path)
{
    Canvas banner(512, 256);
    PaintWithGlow(banner, 6, 1.4, [](cairo_t* cr) {
        cairo_scale(cr, 512.0 / 768.0, 1.0);
        FillBand(cr, 24, 80, 720, 96, false,
                 {{0.0, {0.3, 0.7, 1.0}, 0.55}, {0.5, {0.05, 0.2, 0.4}, 0.35}, {1.0, {0.2, 0.6, 0.9}, 0.55}});
        cairo_set_source_rgba(cr, 0.6, 0.95, 1.0, 0.95);
        cairo_rectangle(cr, 24, 76, 720, 3);
        cairo_rectangle(cr, 24, 177, 720, 3);
        cairo_fill(cr);
        for (int i = 0; i < 6; ++i) {
            const double x = 60 + i * 22;
            cairo_move_to(cr, x, 104);
            cairo_line_to(cr, x + 12, 128);
            cairo_line_to(cr, x, 152);
            cairo_line_to(cr, x + 8, 152);
            cairo_line_to(cr, x + 20, 128);
            cairo_line_to(cr, x + 8, 104);
            cairo_close_path(cr);
        }
        cairo_set_source_rgba(cr, 0.5, 0.9, 1.0, 0.8);
        cairo_fill(cr);
        TextPath(cr, "ruvo", {"DejaVu Sans", true, true}, 72, 470, 128, 30);
        cairo_set_source_rgba(cr, 0.92, 0.98, 1.0, 0.95);
        cairo_fill(cr);
    });
    FadeBorder(banner, 12, true);
    banner.Save(path);
}

void WriteSteelBackground(const std::string& dir)
{
    Canvas background(kScreenWidth, kScreenHeight);
    PaintBackdrop(background, kSteel, 61);
    // A floor grid running to a vanishing point, and long horizontal streaks.
    PaintWithGlow(background, 4, 1.0, [](cairo_t* cr) {
        const double vx = kScreenWidth / 2.0, vy = kScreenHeight * 0.45;
        cairo_set_line_width(cr, 1.2);
        for (int i = -14; i <= 14; ++i) {
            cairo_move_to(cr, vx, vy);
            cairo_line_to(cr, vx + i * 140, kScreenHeight);
        }
        for (int i = 1; i < 12; ++i) {
            const double y = vy + (kScreenHeight - vy) * std::pow(i / 11.0, 2.0);
            cairo_move_to(cr, 0, y);
            cairo_line_to(cr, kScreenWidth, y);
        }
        cairo_pattern_t* fade = cairo_pattern_create_linear(0, vy, 0, kScreenHeight);
        cairo_pattern_add_color_stop_rgba(fade, 0.0, 0.2, 0.7, 1.0, 0.0);
        cairo_pattern_add_color_stop_rgba(fade, 1.0, 0.3, 0.8, 1.0, 0.5);
        cairo_set_source(cr, fade);
        cairo_stroke(cr);
        cairo_pattern_destroy(fade);
        for (int i = 0; i < 9; ++i) {
            const double y = 40 + i * 23.0 + (i % 3) * 7.0, length = 200 + (i * 137) % 500;
            const double x = (i * 311) % kScreenWidth - 100;
            FillBand(cr, x, y, length, 1.5, true,
                     {{0.0, {0.3, 0.9, 1.0}, 0.0}, {0.7, {0.5, 0.95, 1.0}, 0.45}, {1.0, {0.8, 1.0, 1.0}, 0.0}});
        }
    });
    FinishBackdrop(background, 62);
    SaveWithFlash(background, dir, kSteel.lightB);
}

} // namespace

void WriteCylinderPictures(const std::string& dataDir)
{
    const std::string dir = dataDir + "/cylinder";
    WriteRingedSkin(dir + "/texture2.png");
    WriteChevronSkin(dir + "/texture3.png");
    WriteBanner(dir + "/slider.png");
    WriteSteelBackground(dir);
}

} // namespace Pictures
