#include "graphics/FrameSize.h"

#include <cctype>

namespace Adapter {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// One side: digits only, 1 to largestFrameSide. Stops counting past the
// limit, so that no number of digits can overflow.
bool ReadSide(const char*& text, int& side)
{
    const char* start = text;
    long value = 0;
    for (; IsDigit(*text); ++text)
        if (value <= largestFrameSide)
            value = value * 10 + (*text - '0');
    if (text == start || value < 1 || value > largestFrameSide)
        return false;
    side = static_cast<int>(value);
    return true;
}

} // namespace

bool ReadFrameSize(const char* text, int& width, int& height)
{
    if (!text)
        return false;
    int w = 0, h = 0;
    if (!ReadSide(text, w) || *text++ != 'x' || !ReadSide(text, h) || *text != '\0')
        return false;
    width = w;
    height = h;
    return true;
}

} // namespace Adapter
