#include "tests/support/Image.h"
#include "render/PngEncoder.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace TestSupport {

namespace {
const int colourChannels = 3;
}

int Image::Brightest(int x, int y) const
{
    const unsigned char* p = At(x, y);
    return std::max({p[0], p[1], p[2]});
}

Image BlankImage(int width, int height)
{
    Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    return image;
}

Image LoadImage(const std::string& path)
{
    Image image;
    SDL_Surface* decoded = IMG_Load(path.c_str());
    if (!decoded)
        return image;
    // A 1 x 1 surface only lends its pixel format (R, G, B, A bytes in memory order).
    SDL_Surface* target = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    SDL_Surface* converted = target ? SDL_ConvertSurface(decoded, target->format, 0) : nullptr;
    if (converted) {
        image = BlankImage(decoded->w, decoded->h);
        image.hasAlpha = decoded->format->Amask != 0;
        const size_t rowBytes = static_cast<size_t>(image.width) * 4;
        for (int y = 0; y < image.height; ++y) {
            const unsigned char* row = static_cast<unsigned char*>(converted->pixels) + y * converted->pitch;
            std::copy(row, row + rowBytes, image.At(0, y));
        }
        SDL_FreeSurface(converted);
    }
    SDL_FreeSurface(target);
    SDL_FreeSurface(decoded);
    return image;
}

void SavePng(const std::string& path, const Image& image)
{
    // The renderer's writer, so that a golden picture is stored as a rendered frame is.
    Render::WritePng(path, Render::Frame{image.width, image.height, image.rgba, image.hasAlpha});
}

ImageDifference Difference(const Image& a, const Image& b)
{
    ImageDifference difference;
    long long sum = 0;
    const size_t size = std::min(a.rgba.size(), b.rgba.size());
    for (size_t i = 0; i < size; i += 4) {
        for (int channel = 0; channel < colourChannels; ++channel) {
            const int d = std::abs(a.rgba[i + channel] - b.rgba[i + channel]);
            difference.largest = std::max(difference.largest, d);
            sum += d;
        }
    }
    if (size > 0)
        difference.mean = static_cast<double>(sum) / (size / 4 * colourChannels);
    return difference;
}

::testing::AssertionResult ImagesClose(const Image& expected, const Image& actual, ImageLimits limits)
{
    if (expected.width != actual.width || expected.height != actual.height || expected.rgba.size() != actual.rgba.size())
        return ::testing::AssertionFailure() << "sizes differ: " << expected.width << " x " << expected.height
                                             << " and " << actual.width << " x " << actual.height;
    const ImageDifference difference = Difference(expected, actual);
    char figures[160];
    std::snprintf(figures, sizeof figures, "largest channel difference %d (limit %d), mean %.4f (limit %.4f)",
                  difference.largest, limits.largest, difference.mean, limits.mean);
    if (difference.largest > limits.largest || difference.mean > limits.mean)
        return ::testing::AssertionFailure() << figures;
    return ::testing::AssertionSuccess() << figures;
}

} // namespace TestSupport
