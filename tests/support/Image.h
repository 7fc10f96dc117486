#pragma once
// Pictures in tests: the files the build and the tests write, frames read
// back from the window, and how close two of them are.
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace TestSupport {

// RGBA bytes, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    bool hasAlpha = false; // written with (or decoded from a file with) an alpha channel
    std::vector<unsigned char> rgba;

    bool Empty() const { return rgba.empty(); }
    unsigned char* At(int x, int y) { return &rgba[Offset(x, y)]; }
    const unsigned char* At(int x, int y) const { return &rgba[Offset(x, y)]; }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
    // The largest colour channel: how much light the pixel shows or adds.
    int Brightest(int x, int y) const;

private:
    size_t Offset(int x, int y) const { return (static_cast<size_t>(y) * width + x) * 4; }
};

// Opaque white, without an alpha channel.
Image BlankImage(int width, int height);

// Decodes a picture file with SDL_image, as the show's texture loader does.
// Empty when it cannot be read; IMG_GetError() then says why.
Image LoadImage(const std::string& path);

// Writes a PNG: RGBA when the image has alpha, RGB otherwise. Throws
// std::runtime_error when the file cannot be written.
void SavePng(const std::string& path, const Image& image);

// How far apart two images of one size are, over the colour channels (alpha
// is not compared): the largest channel difference and the mean one. Of
// images of two sizes only the bytes both have are compared.
struct ImageDifference {
    int largest = 0;
    double mean = 0;
};
ImageDifference Difference(const Image& a, const Image& b);

// Limits for ImagesClose: the largest and the mean channel difference.
struct ImageLimits {
    int largest;
    double mean;
};

// Passes when the images have one size and differ by no more than `limits`;
// the message gives the figures either way.
::testing::AssertionResult ImagesClose(const Image& expected, const Image& actual, ImageLimits limits);

} // namespace TestSupport
