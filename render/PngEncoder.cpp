#include "render/PngEncoder.h"
#include "render/OutputPath.h"

#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <stdexcept>

namespace Render {

namespace {

// zlib's fastest level: about seven times quicker than the default level on
// these frames, for files about a tenth larger.
const int pngCompressionLevel = 1;

// Text of libpng's failure, kept where the error handler can reach it.
struct PngFailure {
    char message[256];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by a long jump back into this function, so
// nothing in its frame may need a destructor. Returns false with the reason
// in `failure`.
bool EncodePng(FILE* file, const Frame& frame, PngFailure& failure)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width), static_cast<png_uint_32>(frame.height), 8,
                 frame.keepAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, pngCompressionLevel);
    png_write_info(png, info);
    if (!frame.keepAlpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // the rows are RGBA; the file keeps RGB
    const size_t rowBytes = static_cast<size_t>(frame.width) * 4;
    for (int y = 0; y < frame.height; ++y)
        png_write_row(png, &frame.pixels[static_cast<size_t>(y) * rowBytes]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void WritePng(const std::string& path, const Frame& frame)
{
    if (frame.width <= 0 || frame.height <= 0 || frame.pixels.size() < FrameBytes(frame.width, frame.height))
        throw std::runtime_error("cannot write " + path + ": the frame holds fewer pixels than its size");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error(SystemError("cannot write " + path));
    PngFailure failure = {};
    const bool encoded = EncodePng(file, frame, failure);
    // A full disk may only show when the last block is flushed.
    const bool closed = std::fclose(file) == 0;
    if (!encoded)
        throw std::runtime_error("cannot write " + path + ": " + failure.message);
    if (!closed)
        throw std::runtime_error(SystemError("cannot write " + path));
}

} // namespace Render
