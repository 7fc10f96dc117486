#pragma once
#include <string>
#include <vector>

namespace Soundtrack {

// Encodes interleaved stereo 16-bit samples at `sampleRate` into an MP3 file
// with a LAME/Xing tag, so that decoders that honour it (mpg123 does) drop
// the encoder delay and padding: decoded sample n is input sample n.
// Returns false (with a message on stderr) when the file cannot be written;
// the file at `path` is replaced only by a complete encoding.
bool WriteMp3(const std::string& path, const std::vector<short>& interleavedStereo, int sampleRate,
              int bitrateKbps = 192);

} // namespace Soundtrack
