#pragma once
#include <cmath>

namespace Adapter {

// A rectangle of an output in its pixels, x and y of the lower-left corner
// counted from the lower left, as GL's viewport takes it.
struct PixelBox {
    int x, y, width, height;
};

// The design's picture, `pictureWidth` x `pictureHeight` units, on an output
// of the given pixels: as large as fits, centred, with black bands on the
// sides or above and below. `pixelsPerUnit` sizes everything drawn.
struct PictureFit {
    PictureFit(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight)
        : pixelsPerUnit(std::fmin(static_cast<double>(outputWidth) / pictureWidth,
                                  static_cast<double>(outputHeight) / pictureHeight))
    {
        const int width = Pixels(pictureWidth);
        const int height = Pixels(pictureHeight);
        box = PixelBox{(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
    }

    // A length in picture units as whole pixels.
    int Pixels(double units) const { return static_cast<int>(std::lround(units * pixelsPerUnit)); }

    double pixelsPerUnit;
    PixelBox box;
};

} // namespace Adapter
