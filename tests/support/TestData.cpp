#include "support/TestData.h"
#include "support/GlTest.h"

#include <cairo/cairo.h>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace TestSupport {

namespace {

void MakeParents(const std::string& path)
{
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
}

} // namespace

TestData::TestData()
{
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        throw std::runtime_error("getcwd failed");
    previous = cwd;
    char pattern[] = "/tmp/ruvo-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
    if (chdir(root.c_str()) != 0)
        throw std::runtime_error("chdir failed");
}

TestData::~TestData()
{
    if (chdir(previous.c_str()) != 0)
        return;
    const std::string command = "rm -rf '" + root + "'";
    if (std::system(command.c_str()) != 0)
        return;
}

void TestData::WritePicture(const std::string& path, int width, int height,
                            const std::function<Texel(int x, int y)>& texel)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const Texel t = texel(x, y);
            // Cairo stores premultiplied alpha.
            const unsigned r = t.r * t.a / 255, g = t.g * t.a / 255, b = t.b * t.a / 255;
            row[x] = (uint32_t(t.a) << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    const std::string full = root + "/" + path;
    MakeParents(full);
    const cairo_status_t status = cairo_surface_write_to_png(surface, full.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + full);
}

void TestData::WriteSolid(const std::string& path, int width, int height, Texel colour)
{
    WritePicture(path, width, height, [colour](int, int) { return colour; });
}

void TestData::WriteText(const std::string& path, const std::string& contents)
{
    const std::string full = root + "/" + path;
    MakeParents(full);
    std::ofstream(full, std::ios::binary) << contents;
}

void TestData::CopyFromBuild(const std::string& relativePath)
{
    std::ifstream in(BuildDir() + "/data/" + relativePath, std::ios::binary);
    if (!in)
        throw std::runtime_error("no generated " + relativePath);
    const std::string full = root + "/data/" + relativePath;
    MakeParents(full);
    std::ofstream(full, std::ios::binary) << in.rdbuf();
}

} // namespace TestSupport
