// The particle scene: a night garden in violet and rose, a glowing flower
// sprite and a gauzy veil.
#include "tools/pictures/OpeningScenes.h"

#include <algorithm>
#include <cmath>

namespace Pictures {

namespace {

const ScenePalette kGarden{{0.03, 0.01, 0.08}, {0.12, 0.02, 0.12}, {0.55, 0.15, 0.65}, {0.95, 0.3, 0.55}};

double Smooth(double edge0, double edge1, double v)
{
    const double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Added on black at up to half strength, so it is painted bright: six rose
// petals with pale veins around a warm white heart, and a halo.
void WriteFlower(const std::string& path)
{
    Canvas flower(128, 128);
    ForEachPixel(flower, [](int x, int y, double& r, double& g, double& b, double& a) {
        const double dx = (x + 0.5 - 64) / 52.0, dy = (y + 0.5 - 64) / 52.0;
        const double radius = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
        const double petalEdge = 0.55 + 0.4 * std::pow(std::fabs(std::cos(3.0 * angle)), 0.7);
        const double petal = 1.0 - Smooth(petalEdge - 0.12, petalEdge, radius);
        const double vein = std::pow(std::fabs(std::cos(3.0 * angle)), 40.0) * petal * 0.6;
        const double heart = std::exp(-radius * radius * 40.0);
        const double halo = std::exp(-radius * radius * 2.2) * 0.35;
        const double shade = petal * (0.45 + 0.55 * radius);
        r = 0.95 * shade + vein + heart + 0.7 * halo;
        g = 0.3 * shade + 0.6 * vein + 0.9 * heart + 0.15 * halo;
        b = 0.6 * shade + 0.8 * vein + 0.7 * heart + 0.55 * halo;
        a = 1.0;
    });
    FadeBorder(flower, 10, false);
    flower.Save(path);
}

// Alpha-blended at half opacity at most: a swirl of translucent threads in a
// ring, clear at the middle and fully transparent toward the corners.
void WriteVeil(const std::string& path)
{
    Canvas veil(256, 256);
    const PeriodicNoise threads(16, 31);
    ForEachPixel(veil, [&](int x, int y, double& r, double& g, double& b, double& a) {
        const double dx = (x + 0.5 - 128) / 120.0, dy = (y + 0.5 - 128) / 120.0;
        const double radius = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
        const double ring = Smooth(0.05, 0.45, radius) * (1.0 - Smooth(0.7, 1.0, radius));
        const double u = (angle / (2 * M_PI) + 0.5) * 16.0;
        const double swirl = threads.Fractal(u + radius * 6.0, radius * 3.0, 3);
        const double strand = 0.5 + 0.5 * std::sin(angle * 5.0 + radius * 14.0 + swirl * 6.0);
        a = ring * (0.35 + 0.65 * strand * strand);
        r = 1.0;
        g = 0.75 + 0.2 * strand;
        b = 0.95;
    });
    FadeBorder(veil, 16, true);
    veil.Save(path);
}

void WriteGardenBackground(const std::string& dir)
{
    Canvas background(kScreenWidth, kScreenHeight);
    PaintBackdrop(background, kGarden, 41);
    // A dim field of far flowers: petals sketched in light, blurred by depth.
    Canvas far(kScreenWidth, kScreenHeight);
    cairo_t* cr = far.cr();
    for (int i = 0; i < 60; ++i) {
        const double cx = std::fmod(i * 181.3, kScreenWidth), cy = 40 + std::fmod(i * 97.7, kScreenHeight - 80);
        const double size = 10 + std::fmod(i * 13.1, 26);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1.0, kLetterboxSquash);
        cairo_rotate(cr, i * 0.7);
        for (int petal = 0; petal < 6; ++petal) {
            cairo_rotate(cr, M_PI / 3);
            cairo_save(cr);
            cairo_translate(cr, size * 0.6, 0);
            cairo_scale(cr, 1.0, 0.45);
            cairo_arc(cr, 0, 0, size * 0.6, 0, 2 * M_PI);
            cairo_restore(cr);
        }
        const Colour tint = Mix(kGarden.lightA, kGarden.lightB, std::fmod(i * 0.37, 1.0));
        cairo_set_source_rgba(cr, tint.r, tint.g, tint.b, 0.2);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    Blur(far, 6);
    AddLayer(background, far);
    FinishBackdrop(background, 42);
    background.Save(dir + "/baggrund.png");
}

} // namespace

void WriteParticlePictures(const std::string& dataDir)
{
    const std::string dir = dataDir + "/partikler";
    WriteFlower(dir + "/blomst.png");
    WriteVeil(dir + "/sloer.png");
    WriteGardenBackground(dir);
}

} // namespace Pictures
