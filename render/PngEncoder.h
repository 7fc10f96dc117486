#pragma once
#include "render/FrameOutput.h"

#include <string>

namespace Render {

// Writes one frame as a PNG file (used by the folder output and tests),
// compressed for speed rather than size: rendering waits on it. Throws
// std::runtime_error when the file cannot be written, a full disk included.
void WritePng(const std::string& path, const Frame& frame);

} // namespace Render
