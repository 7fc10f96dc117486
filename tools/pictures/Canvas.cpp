#include "tools/pictures/Canvas.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>

namespace Pictures {

Canvas::Canvas(int width, int height)
    : w(width), h(height), image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      context(cairo_create(image))
{
}

Canvas::~Canvas()
{
    cairo_destroy(context);
    cairo_surface_destroy(image);
}

void Canvas::Save(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        MakeDirectories(path.substr(0, slash));
    cairo_surface_flush(image);
    if (cairo_surface_write_to_png(image, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}

void MakeDirectories(const std::string& path)
{
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string prefix = path.substr(0, at);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error("cannot create " + prefix + ": " + std::strerror(errno));
    }
}

} // namespace Pictures
