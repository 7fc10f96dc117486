// The city scene's two skylines, each unlit and lit, on a transparent sky.
#include "tools/pictures/ClosingPictures.h"
#include "tools/pictures/Paint.h"

#include <cmath>
#include <vector>

namespace Pictures {
namespace ClosingArt {

namespace {


enum class Roof { Flat, Spire, Stepped, Dome, Slanted };

struct Building {
    double x, width, top;
    Roof roof;
    double roofHeight;
};

struct SkylineStyle {
    uint32_t seed;
    double roofHigh, roofLow; // range of the roof line, rows from the top
    double minWidth, maxWidth;
    Colour bodyTop, bodyBottom, rim, glass;
    double windowWidth, windowHeight, pitchX, pitchY;
    double litShare, dimShare; // windows lit in the lit / unlit picture
    Colour warm, cool;
    double coolShare;
    Colour haze;
    double hazeAlpha; // 0: no haze behind the buildings
    bool neon;
};

std::vector<Building> LayOut(const SkylineStyle& style)
{
    Random random(style.seed);
    std::vector<Building> buildings;
    for (double x = -std::floor(random.Between(0, 30)); x < kScreenWidth;) {
        Building b;
        // Whole pixels, overlapping: no seam of sky between neighbours.
        b.width = std::floor(random.Between(style.minWidth, style.maxWidth));
        b.x = x;
        // Occasional towers stand well above the rest.
        const double reach = random.Chance(0.18) ? random.Between(0.0, 0.25) : random.Between(0.25, 1.0);
        b.top = style.roofHigh + (style.roofLow - style.roofHigh) * reach;
        const int kind = random.Below(10);
        b.roof = kind < 4 ? Roof::Flat : kind < 6 ? Roof::Stepped : kind < 7 ? Roof::Spire : kind < 8 ? Roof::Dome : Roof::Slanted;
        b.roofHeight = random.Between(14, 36);
        buildings.push_back(b);
        x += b.width - std::floor(random.Between(2, 7));
    }
    return buildings;
}

void BuildingPath(cairo_t* cr, const Building& b)
{
    const double left = b.x, right = b.x + b.width, top = b.top, mid = b.x + b.width * 0.5;
    cairo_new_path(cr);
    switch (b.roof) {
    case Roof::Stepped:
        cairo_rectangle(cr, left + b.width * 0.18, top - b.roofHeight, b.width * 0.64, b.roofHeight + 1);
        cairo_rectangle(cr, left + b.width * 0.36, top - b.roofHeight * 1.7, b.width * 0.28, b.roofHeight);
        break;
    case Roof::Spire:
        cairo_move_to(cr, mid - b.width * 0.12, top);
        cairo_line_to(cr, mid, top - b.roofHeight * 2.2);
        cairo_line_to(cr, mid + b.width * 0.12, top);
        cairo_close_path(cr);
        cairo_rectangle(cr, mid - 0.75, top - b.roofHeight * 3.0, 1.5, b.roofHeight);
        break;
    case Roof::Dome:
        cairo_save(cr);
        cairo_translate(cr, mid, top);
        cairo_scale(cr, 1.0, kLetterboxSquash);
        cairo_arc(cr, 0, 0, b.width * 0.3, M_PI, 2 * M_PI);
        cairo_restore(cr);
        cairo_close_path(cr);
        break;
    case Roof::Slanted:
        cairo_move_to(cr, left, top);
        cairo_line_to(cr, right, top - b.roofHeight);
        cairo_line_to(cr, right, top);
        cairo_close_path(cr);
        break;
    case Roof::Flat:
        cairo_rectangle(cr, left + 4, top - 5, b.width * 0.3, 6);
        break;
    }
    cairo_rectangle(cr, left, top, b.width, kScreenHeight - top + 1);
}

void PaintBody(cairo_t* cr, const Building& b, const SkylineStyle& style, double shade, double hue)
{
    // Neighbours differ a little in brightness and lean blue or violet.
    const Colour lean = hue < 0.5 ? Hex(0x1f3160) : Hex(0x3a2160);
    const Colour top = Scaled(Mix(style.bodyTop, lean, std::fabs(hue - 0.5)), shade);
    const Colour bottom = Scaled(style.bodyBottom, shade);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, b.top - 60, 0, kScreenHeight);
    cairo_pattern_add_color_stop_rgb(body, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(body, 1, bottom.r, bottom.g, bottom.b);
    BuildingPath(cr, b);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);

    // Moonlight from the upper left: a rim along the outline and a soft
    // sheen on the left face.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    SetColour(cr, style.rim, 0.35);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(b.x, 0, b.x + b.width * 0.4, 0);
    cairo_pattern_add_color_stop_rgba(sheen, 0, style.rim.r, style.rim.g, style.rim.b, 0.16);
    cairo_pattern_add_color_stop_rgba(sheen, 1, style.rim.r, style.rim.g, style.rim.b, 0.0);
    cairo_set_source(cr, sheen);
    cairo_paint(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
}

// Windows on the main block. Both versions of a skyline draw the same
// random numbers so that the lit windows of the unlit picture are among
// those of the lit one.
void PaintWindows(cairo_t* body, cairo_t* lights, const Building& b, int index, const SkylineStyle& style, bool lit)
{
    Random random(style.seed * 7919u + static_cast<uint32_t>(index) * 104729u + 1u);
    const double share = lit ? style.litShare : style.dimShare;
    const double marginX = style.pitchX * 0.6;
    const int columns = static_cast<int>((b.width - 2 * marginX) / style.pitchX);
    if (columns <= 0)
        return;
    const double start = b.x + (b.width - (columns - 1) * style.pitchX - style.windowWidth) * 0.5;
    // Some buildings keep whole floors dark, others light them in bands.
    const double floorBias = random.Between(-0.25, 0.25);
    for (double y = b.top + style.pitchY * 0.8; y < kScreenHeight - style.pitchY; y += style.pitchY) {
        const double floorLight = random.Between(-0.3, 0.3) + floorBias;
        for (int c = 0; c < columns; ++c) {
            const double x = start + c * style.pitchX;
            const double u = random.Unit() - floorLight * 0.5;
            const double warmth = random.Unit();
            const double level = random.Between(0.55, 1.0);
            cairo_rectangle(body, x, y, style.windowWidth, style.windowHeight);
            SetColour(body, style.glass, 1.0);
            cairo_fill(body);
            if (u >= share)
                continue;
            const Colour colour = warmth < style.coolShare ? style.cool : Mix(style.warm, Hex(0xfff2d0), warmth * 0.4);
            cairo_rectangle(lights, x, y, style.windowWidth, style.windowHeight);
            SetColour(lights, colour, lit ? level : level * 0.6);
            cairo_fill(lights);
        }
    }
}

void PaintNeon(cairo_t* body, cairo_t* lights, const Building& b, int index, bool lit)
{
    if (index % 4 != 1 || b.width < 60)
        return;
    const Colour tube = index % 8 == 1 ? Hex(0xff3fa4) : Hex(0x3fe8ff);
    const double x = b.x + b.width * 0.72, y = b.top + 24;
    cairo_new_path(body);
    cairo_rectangle(body, x - 3, y - 3, 16, 96);
    SetColour(body, Hex(0x05040b));
    cairo_fill(body);
    cairo_t* cr = lit ? lights : body;
    cairo_new_path(cr);
    cairo_rectangle(cr, x + 1, y + 1, 8, 88);
    SetColour(cr, lit ? tube : Scaled(tube, 0.25), 1.0);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
    for (int bar = 0; bar < 4; ++bar) {
        cairo_rectangle(cr, x + 3, y + 8 + bar * 20, 4, 10);
        cairo_fill(cr);
    }
}

void PaintMoon(Canvas& canvas, bool lit)
{
    cairo_t* cr = canvas.cr();
    const double cx = 26, cy = 20, radius = 74;
    const double glow = lit ? 1.0 : 0.8;
    cairo_save(cr);
    cairo_scale(cr, 1.0, kLetterboxSquash);
    const double y = cy / kLetterboxSquash;
    AddRadialLight(cr, cx, y, radius * 3.4, Hex(0x8fa6ff), 0.4 * glow);
    cairo_pattern_t* disc = cairo_pattern_create_radial(cx - 30, y - 30, 10, cx, y, radius);
    const Colour bright = Scaled(Hex(0xffffff), glow), cream = Scaled(Hex(0xf1ead8), glow),
              limb = Scaled(Hex(0xc9c6d6), glow);
    cairo_pattern_add_color_stop_rgb(disc, 0.0, bright.r, bright.g, bright.b);
    cairo_pattern_add_color_stop_rgb(disc, 0.7, cream.r, cream.g, cream.b);
    cairo_pattern_add_color_stop_rgb(disc, 1.0, limb.r, limb.g, limb.b);
    cairo_arc(cr, cx, y, radius, 0, 2 * M_PI);
    cairo_set_source(cr, disc);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
    // Soft maria, kept away from the corner.
    const double maria[][3] = {{62, 34, 16}, {44, 64, 11}, {78, 60, 8}, {30, 46, 7}};
    for (const auto& m : maria) {
        cairo_pattern_t* spot = cairo_pattern_create_radial(m[0], m[1], 0, m[0], m[1], m[2]);
        cairo_pattern_add_color_stop_rgba(spot, 0.0, 0.5, 0.5, 0.62, 0.45);
        cairo_pattern_add_color_stop_rgba(spot, 1.0, 0.55, 0.55, 0.66, 0.0);
        cairo_set_source(cr, spot);
        cairo_arc(cr, m[0], m[1], m[2], 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(spot);
    }
    cairo_restore(cr);
}

void PaintSkyline(Canvas& canvas, const std::vector<Building>& buildings, const SkylineStyle& style, bool lit)
{
    cairo_t* cr = canvas.cr();
    if (style.hazeAlpha > 0) {
        // City light on the low sky, fading out well below the top edge.
        const double alpha = style.hazeAlpha * (lit ? 1.0 : 0.45);
        cairo_pattern_t* haze = cairo_pattern_create_linear(0, style.roofHigh - 20, 0, style.roofLow + 30);
        cairo_pattern_add_color_stop_rgba(haze, 0, style.haze.r, style.haze.g, style.haze.b, 0.0);
        cairo_pattern_add_color_stop_rgba(haze, 1, style.haze.r, style.haze.g, style.haze.b, alpha);
        cairo_set_source(cr, haze);
        cairo_rectangle(cr, 0, style.roofHigh - 20, kScreenWidth, kScreenHeight);
        cairo_fill(cr);
        cairo_pattern_destroy(haze);
    }

    Canvas lights(kScreenWidth, kScreenHeight);
    Random tints(style.seed ^ 0x5bd1e995u);
    for (size_t i = 0; i < buildings.size(); ++i) {
        const Building& b = buildings[i];
        PaintBody(cr, b, style, tints.Between(0.75, 1.15), tints.Unit());
        PaintWindows(cr, lights.cr(), b, static_cast<int>(i), style, lit);
        if (style.neon)
            PaintNeon(cr, lights.cr(), b, static_cast<int>(i), lit);
        // Aircraft warning lamps on the tall ones.
        if (b.top < style.roofHigh + (style.roofLow - style.roofHigh) * 0.3) {
            const double tip = b.roof == Roof::Spire ? b.top - b.roofHeight * 3.0 : b.top - 6;
            cairo_arc(lights.cr(), b.x + b.width * 0.5, tip, 1.8, 0, 2 * M_PI);
            SetColour(lights.cr(), Hex(0xff4040), lit ? 1.0 : 0.7);
            cairo_fill(lights.cr());
        }
    }
    // Mist between the blocks: the lower floors fade into the haze.
    if (style.hazeAlpha > 0)
        TintCovered(cr, style.roofLow - 120, kScreenHeight, style.haze, 0.4);
    AddGrainBytes(canvas, 0.05, style.seed);

    cairo_set_source_surface(cr, lights.surface(), 0, 0);
    cairo_paint(cr);
    // Bloom in three widths: halo, spill, and the glow over the whole town.
    const int radii[] = {4, 14, 40};
    const double litStrength[] = {1.1, 0.9, 0.8}, unlitStrength[] = {0.5, 0.3, 0.15};
    for (int i = 0; i < 3; ++i) {
        BlurBytes(lights, radii[i]);
        AddLayer(canvas, lights, lit ? litStrength[i] : unlitStrength[i]);
    }
    // Street light spilling up the lowest floors.
    if (lit)
        TintCovered(cr, kScreenHeight - 90, kScreenHeight, style.warm, 0.22);
}

const SkylineStyle BackStyle = {
    20240611u, 150, 330, 34, 92,
    Hex(0x2e285e), Hex(0x110e24), Hex(0x8c86e0), Hex(0x1b1738),
    2, 3, 5, 7,
    0.34, 0.05,
    Hex(0xffcf7a), Hex(0x8fe6ff), 0.15,
    Hex(0x8a3f86), 0.45,
    false,
};

const SkylineStyle FrontStyle = {
    7770321u, 300, 430, 60, 150,
    Hex(0x181331), Hex(0x06050d), Hex(0x9fb4ff), Hex(0x110e22),
    6, 5, 12, 11,
    0.5, 0.07,
    Hex(0xffb45a), Hex(0xff84b0), 0.12,
    Hex(0x000000), 0.0,
    true,
};

} // namespace

void WriteSkylines(const std::string& flatDir)
{
    const std::vector<Building> back = LayOut(BackStyle);
    const std::vector<Building> front = LayOut(FrontStyle);
    for (bool lit : {false, true}) {
        Canvas backCanvas(kScreenWidth, kScreenHeight);
        PaintSkyline(backCanvas, back, BackStyle, lit);
        backCanvas.Save(flatDir + (lit ? "/cityBackLight.png" : "/cityBack.png"));

        Canvas frontCanvas(kScreenWidth, kScreenHeight);
        PaintMoon(frontCanvas, lit);
        PaintSkyline(frontCanvas, front, FrontStyle, lit);
        if (lit) {
            // The city's rings sample this picture's top-left texel: keep
            // it white and opaque (it sits in the moon's bright edge).
            cairo_rectangle(frontCanvas.cr(), 0, 0, CornerBlock, CornerBlock);
            cairo_set_source_rgba(frontCanvas.cr(), 1, 1, 1, 1);
            cairo_fill(frontCanvas.cr());
        }
        frontCanvas.Save(flatDir + (lit ? "/cityFrontLight.png" : "/cityFront.png"));
    }
}

} // namespace ClosingArt
} // namespace Pictures
