// The ball scene: emerald water and gold. A marbled ball skin, a lace veil
// around the ball, and an undersea backdrop with caustic light.
#include "tools/pictures/OpeningScenes.h"

#include <algorithm>
#include <cmath>

namespace Pictures {

namespace {

const ScenePalette kLagoon{{0.0, 0.08, 0.07}, {0.0, 0.02, 0.03}, {0.1, 0.7, 0.5}, {0.95, 0.75, 0.3}};

// gluSphere wraps s once around and t from pole to pole: a 2:1 picture whose
// every pattern term is periodic, so the seam and the poles do not show.
void WriteBallSkin(const std::string& path)
{
    Canvas skin(512, 256);
    const PeriodicNoise marble(8, 71);
    ForEachPixel(skin, [&](int x, int y, double& r, double& g, double& b, double& a) {
        const double u = (x + 0.5) / 512.0, v = (y + 0.5) / 256.0;
        const double n = marble.Fractal(u * 8, v * 8, 5);
        const double veins = std::pow(std::fabs(std::sin(2 * M_PI * (2 * u + 3 * v) + 6.0 * n)), 0.35);
        const double gold = std::pow(1.0 - veins, 3.0);
        const double deep = 0.5 + 0.5 * std::sin(2 * M_PI * (u + v) + 4.0 * n);
        r = 0.02 + 0.08 * deep + 1.0 * gold;
        g = 0.25 + 0.35 * deep + 0.8 * gold;
        b = 0.2 + 0.25 * deep + 0.35 * gold;
        a = 1.0;
    });
    skin.Save(path);
}

// A ring of lace through the ball: scalloped edge and a filigree of loops,
// transparent in the middle (the ball) and at the corners.
void WriteLaceVeil(const std::string& path)
{
    Canvas veil(256, 256);
    ForEachPixel(veil, [](int x, int y, double& r, double& g, double& b, double& a) {
        const double dx = (x + 0.5 - 128) / 124.0, dy = (y + 0.5 - 128) / 124.0;
        const double radius = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
        const double scallop = 0.88 + 0.06 * std::cos(angle * 24);
        const double band = std::clamp((radius - 0.42) / 0.05, 0.0, 1.0) *
                            std::clamp((scallop - radius) / 0.03, 0.0, 1.0);
        // Lace: a little ring of thread in every cell of a polar grid.
        const double cellU = angle / (2 * M_PI) * 36.0, cellV = (radius - 0.42) / 0.075;
        const double fu = cellU - std::floor(cellU) - 0.5, fv = cellV - std::floor(cellV) - 0.5;
        const double loop = std::exp(-std::pow((std::sqrt(fu * fu + fv * fv) - 0.32) / 0.08, 2.0));
        const double thread = std::exp(-std::pow((radius - 0.62) / 0.012, 2.0));
        a = std::min(1.0, band * (0.12 + 0.7 * loop) + 0.6 * thread * band);
        r = 0.75 + 0.25 * loop;
        g = 1.0;
        b = 0.85 + 0.1 * loop;
    });
    FadeBorder(veil, 8, true);
    veil.Save(path);
}

void WriteLagoonBackground(const std::string& dir)
{
    Canvas background(kScreenWidth, kScreenHeight);
    PaintBackdrop(background, kLagoon, 81);
    // Caustic web: bright where two wavy line fields cross.
    const PeriodicNoise water(8, 82);
    ForEachPixel(background, [&](int x, int y, double& r, double& g, double& b, double&) {
        const double u = x / 128.0, v = y / (128.0 * kLetterboxSquash);
        const double warp = 3.0 * water.Fractal(u, v, 3);
        const double c = std::pow(std::fabs(std::sin(u * 2.1 + warp)) * std::fabs(std::sin(v * 1.7 - warp)), 6.0);
        const double depth = 1.0 - static_cast<double>(y) / kScreenHeight;
        const double k = c * 0.55 * depth;
        r += k * 0.6;
        g += k * 1.0;
        b += k * 0.8;
    });
    AddLight(background, kScreenWidth * 0.5, -40, 620, {0.6, 1.0, 0.8}, 0.5, 0.5);
    FinishBackdrop(background, 83);
    SaveWithFlash(background, dir, kLagoon.lightB);
}

} // namespace

void WriteBallPictures(const std::string& dataDir)
{
    const std::string dir = dataDir + "/balls";
    WriteBallSkin(dir + "/texture1.png");
    WriteLaceVeil(dir + "/sloer.png");
    WriteLagoonBackground(dir);
}

} // namespace Pictures
