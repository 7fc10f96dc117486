// Greetings to fourteen invented groups, each in its own lettering, on a
// transparent square (the scene draws them alpha-blended on square quads).
#include "tools/pictures/ClosingPictures.h"
#include "tools/pictures/Paint.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace Pictures {
namespace ClosingArt {

const char* const GreetingNames[GreetingCount] = {
    "Velvet Abacus", "Paperwolf",    "Sodium Choir",  "Hexbakery",      "Zinc Meadow",
    "Lumenfjord",    "Tindervox",    "Moire Brigade", "Brassfeather",   "Polarbroth",
    "Crumbleglass",  "Ampersand Owls", "Glimmerkrank", "Kvadrat Nine",
};

namespace {

constexpr int Size = 512;
constexpr double TextWidthTarget = 430;
constexpr double MaxFontSize = 118;

struct Lettering {
    const char* family;
    cairo_font_slant_t slant;
    cairo_font_weight_t weight;
    bool upper;
    bool twoLines;
    double tracking; // of the font size
    double skew;     // horizontal shear
    double wave;     // of the font size
    Colour fill[3];     // top, middle, bottom (left to right when `across`)
    bool across;
    bool hollow;     // outline only
    bool stripes;    // fill in thin horizontal bands
    Colour outline;
    double outlineWidth;
    Colour glow;
    double glowStrength;
    int glowRadius;
    double extrude; // depth of the stacked shadow in pixels
    Colour extrudeColour;
    bool stencil;
};

constexpr auto Upright = CAIRO_FONT_SLANT_NORMAL;
constexpr auto Italic = CAIRO_FONT_SLANT_ITALIC;
constexpr auto Oblique = CAIRO_FONT_SLANT_OBLIQUE;
constexpr auto Regular = CAIRO_FONT_WEIGHT_NORMAL;
constexpr auto Bold = CAIRO_FONT_WEIGHT_BOLD;

const Lettering Styles[GreetingCount] = {
    // family, slant, weight, upper, twoLines, tracking, skew, wave, fill, across, hollow, stripes,
    // outline, width, glow, strength, radius, extrude, extrudeColour, stencil
    {"DejaVu Serif", Italic, Bold, false, true, 0.0, 0.0, 0.0, {Hex(0xfff4c2), Hex(0xf3c25a), Hex(0xb0681c)},
     false, false, false, Hex(0x3a1d05), 3, Hex(0xffb040), 0.8, 18, 0, Hex(0), false},
    {"DejaVu Sans", Upright, Bold, true, false, 0.16, 0.0, 0.0, {Hex(0xffffff), Hex(0xffffff), Hex(0xffffff)},
     false, true, false, Hex(0xe8fdff), 4, Hex(0x2fd8ff), 1.6, 12, 0, Hex(0), false},
    {"DejaVu Serif", Upright, Regular, false, true, 0.02, 0.0, 0.0, {Hex(0xffe39a), Hex(0xffa63a), Hex(0xff6a12)},
     false, false, false, Hex(0x4a0d05), 2, Hex(0xff7a20), 0.5, 14, 9, Hex(0x5c1208), false},
    {"DejaVu Sans Mono", Upright, Bold, false, false, 0.0, 0.0, 0.0, {Hex(0xe6ff8a), Hex(0x9be83a), Hex(0x3f9f18)},
     false, false, false, Hex(0x0f3305), 4, Hex(0x9bff40), 0.6, 16, 0, Hex(0), true},
    {"DejaVu Sans Condensed", Upright, Bold, true, true, 0.04, -0.28, 0.0, {Hex(0xffffff), Hex(0x7d93a4), Hex(0xeaf3f8)},
     false, false, false, Hex(0x0b1a3a), 4, Hex(0x88b8ff), 0.4, 20, 0, Hex(0), false},
    {"DejaVu Sans", Upright, Regular, true, false, 0.32, 0.0, 0.0, {Hex(0xe8fbff), Hex(0xbff0ff), Hex(0x8fdcff)},
     false, false, false, Hex(0), 0, Hex(0x3a8cff), 2.6, 16, 0, Hex(0), false},
    {"DejaVu Sans", Oblique, Bold, false, false, 0.0, 0.0, 0.12, {Hex(0xfff36a), Hex(0xff9a1a), Hex(0xe42a10)},
     false, false, false, Hex(0x3d0a00), 3, Hex(0xff5a10), 1.0, 20, 0, Hex(0), false},
    {"DejaVu Sans Mono", Upright, Bold, true, true, 0.06, 0.0, 0.0, {Hex(0xff5ad2), Hex(0xffffff), Hex(0xff5ad2)},
     false, false, true, Hex(0x2a0524), 3, Hex(0xff40c0), 0.5, 14, 0, Hex(0), false},
    {"DejaVu Serif Condensed", Italic, Bold, false, false, 0.0, 0.0, 0.0, {Hex(0xfff0b0), Hex(0xd8a040), Hex(0x8a5a14)},
     false, false, false, Hex(0x2a1603), 2, Hex(0), 0.0, 1, 6, Hex(0x3a2006), false},
    {"DejaVu Sans", Upright, Bold, false, false, -0.02, 0.0, 0.06, {Hex(0xffffff), Hex(0xcdeeff), Hex(0x6fb6ff)},
     false, false, false, Hex(0x0a1f4a), 9, Hex(0x80c8ff), 0.5, 16, 0, Hex(0), false},
    {"DejaVu Serif", Upright, Bold, true, false, 0.05, 0.0, 0.0, {Hex(0xffffff), Hex(0xffffff), Hex(0xffffff)},
     false, true, false, Hex(0xffb0d8), 3, Hex(0xff5aa8), 1.4, 10, 0, Hex(0), false},
    {"DejaVu Serif", Italic, Regular, false, true, 0.03, 0.0, 0.0, {Hex(0xf4e8ff), Hex(0xd0b0ff), Hex(0x9a70f0)},
     false, false, false, Hex(0x1e0f40), 2, Hex(0xa070ff), 1.2, 24, 0, Hex(0), false},
    {"DejaVu Sans Condensed", Oblique, Bold, false, false, 0.01, 0.22, 0.0, {Hex(0x40f0ff), Hex(0xff50e0), Hex(0xffe040)},
     true, false, false, Hex(0xffffff), 2, Hex(0xffffff), 0.35, 18, 0, Hex(0), false},
    {"DejaVu Sans Mono", Upright, Bold, true, true, 0.35, 0.0, 0.0, {Hex(0xffffff), Hex(0xff8a7a), Hex(0xe0202a)},
     false, false, false, Hex(0xffffff), 2, Hex(0), 0.0, 1, 7, Hex(0x1a0406), false},
};

std::vector<std::string> LinesOf(const char* name, const Lettering& style)
{
    std::string text = name;
    if (style.upper)
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    const size_t space = text.find(' ');
    if (style.twoLines && space != std::string::npos)
        return {text.substr(0, space), text.substr(space + 1)};
    return {text};
}

// Adds every line of the name, centred, to the current path.
void NamePath(cairo_t* cr, const std::vector<std::string>& lines, const Lettering& style, double fontSize)
{
    const double lineHeight = fontSize * 1.05;
    const double tracking = style.tracking * fontSize;
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    // Centre the block of lines on the middle row by the capital height.
    const double firstBaseline = Size * 0.5 - (lines.size() - 1) * lineHeight * 0.5 + font.ascent * 0.36;
    cairo_new_path(cr);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double width = TextWidth(cr, lines[i], tracking);
        TextPathAt(cr, lines[i], (Size - width) * 0.5, firstBaseline + i * lineHeight, tracking, style.wave * fontSize);
    }
}

cairo_pattern_t* FillPattern(cairo_t* cr, const Lettering& style)
{
    double x1, y1, x2, y2;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    cairo_pattern_t* fill = style.across ? cairo_pattern_create_linear(x1, 0, x2, 0)
                                         : cairo_pattern_create_linear(0, y1, 0, y2);
    if (style.stripes) {
        // Narrow bands repeated down the letters.
        cairo_pattern_destroy(fill);
        fill = cairo_pattern_create_linear(0, 0, 0, 9);
        cairo_pattern_set_extend(fill, CAIRO_EXTEND_REPEAT);
        cairo_pattern_add_color_stop_rgb(fill, 0.0, style.fill[0].r, style.fill[0].g, style.fill[0].b);
        cairo_pattern_add_color_stop_rgb(fill, 0.5, style.fill[1].r, style.fill[1].g, style.fill[1].b);
        cairo_pattern_add_color_stop_rgb(fill, 1.0, style.fill[2].r, style.fill[2].g, style.fill[2].b);
        return fill;
    }
    for (int i = 0; i < 3; ++i)
        cairo_pattern_add_color_stop_rgb(fill, i * 0.5, style.fill[i].r, style.fill[i].g, style.fill[i].b);
    return fill;
}

void PaintGreeting(Canvas& canvas, const char* name, const Lettering& style)
{
    cairo_t* cr = canvas.cr();
    const std::vector<std::string> lines = LinesOf(name, style);
    const cairo_matrix_t shear = {1, 0, style.skew, 1, -style.skew * Size * 0.5, 0};

    // Fit the longest line to the target width.
    cairo_select_font_face(cr, style.family, style.slant, style.weight);
    cairo_set_font_size(cr, 100);
    double widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, TextWidth(cr, line, style.tracking * 100));
    const double fontSize = std::min(MaxFontSize, 100 * TextWidthTarget / widest);

    auto prepare = [&](cairo_t* c) {
        cairo_select_font_face(c, style.family, style.slant, style.weight);
        cairo_set_font_size(c, fontSize);
        cairo_transform(c, &shear);
        NamePath(c, lines, style, fontSize);
    };

    if (style.glowStrength > 0) {
        AddGlow(canvas, style.glowRadius, style.glowStrength, [&](cairo_t* c) {
            prepare(c);
            SetColour(c, style.glow, 0.8);
            cairo_set_line_width(c, style.outlineWidth * 2 + 4);
            cairo_stroke_preserve(c);
            cairo_fill(c);
        });
    }

    cairo_save(cr);
    for (int step = static_cast<int>(style.extrude); step > 0; --step) {
        cairo_save(cr);
        cairo_translate(cr, step * 0.8, step * 1.0);
        prepare(cr);
        SetColour(cr, Scaled(style.extrudeColour, 1.0 + 0.5 * (1.0 - step / style.extrude)));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    prepare(cr);
    if (style.outlineWidth > 0) {
        SetColour(cr, style.outline);
        cairo_set_line_width(cr, style.outlineWidth * (style.hollow ? 1.0 : 2.0));
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    if (!style.hollow) {
        cairo_pattern_t* fill = FillPattern(cr, style);
        cairo_set_source(cr, fill);
        cairo_fill(cr);
        cairo_pattern_destroy(fill);
    }
    cairo_restore(cr);

    if (style.stencil) {
        // Stencil bridges cut through the letters.
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        for (double y : {Size * 0.5 - fontSize * 0.22, Size * 0.5 + fontSize * 0.02})
            cairo_rectangle(cr, 0, y, Size, fontSize * 0.05);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

} // namespace

void WriteGreetings(const std::string& boxDir)
{
    for (int i = 0; i < GreetingCount; ++i) {
        Canvas canvas(Size, Size);
        PaintGreeting(canvas, GreetingNames[i], Styles[i]);
        canvas.Save(boxDir + "/greetings" + std::to_string(i + 1) + ".png");
    }
}

} // namespace ClosingArt
} // namespace Pictures
