#pragma once
// A thin wrapper over a Cairo image surface for the picture generators.
#include <cairo/cairo.h>
#include <string>

namespace Pictures {

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return context; }
    cairo_surface_t* surface() { return image; }
    int width() const { return w; }
    int height() const { return h; }

    // Writes the picture as PNG, creating the folders on the way; throws
    // std::runtime_error when it cannot.
    void Save(const std::string& path);

private:
    int w, h;
    cairo_surface_t* image;
    cairo_t* context;
};

// Creates `path` and its parents; throws std::runtime_error when it cannot.
void MakeDirectories(const std::string& path);

// Every picture the show loads, written under `dataDir` (the data/ folder).
void WriteOpeningPictures(const std::string& dataDir); // loader, logo, partikler, cylinder, balls, drink
void WriteClosingPictures(const std::string& dataDir); // flat, kasser, end
// The program's menu icon at each size, as <size>x<size>/apps/ruvo.png under
// `iconDir` (the layout of an icon theme's folder).
void WriteIcons(const std::string& iconDir);

} // namespace Pictures
