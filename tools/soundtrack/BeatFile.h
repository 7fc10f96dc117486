#pragma once
#include <string>
#include <vector>

namespace Soundtrack {

// "HH:MM:SS.mmm" for a time in milliseconds.
std::string FormatMarkTime(unsigned millis);

// The text of a beat file: four header lines naming the track, then one line
// "label start end" per mark, the end 50 ms after the start.
std::string BeatFileText(const std::string& trackName, const std::vector<unsigned>& marks);

// Writes the text to `path`; false (with a message on stderr) on failure.
bool WriteBeatFile(const std::string& path, const std::string& trackName, const std::vector<unsigned>& marks);

} // namespace Soundtrack
