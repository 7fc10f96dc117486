#include "tools/soundtrack/BeatFile.h"

#include "tools/soundtrack/PartialFile.h"

#include <cstdio>

namespace Soundtrack {

namespace {
const unsigned markLengthMillis = 50;
}

std::string FormatMarkTime(unsigned millis)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", millis / 3600000, millis / 60000 % 60,
                  millis / 1000 % 60, millis % 1000);
    return text;
}

std::string BeatFileText(const std::string& trackName, const std::vector<unsigned>& marks)
{
    std::string text = "ruvo beat track: " + trackName + "\n";
    text += "written by ruvo-soundtrack from the same events as data/sound.mp3\n";
    text += "120 BPM, 44100 Hz, " + std::to_string(marks.size()) + " marks\n";
    text += "label start end\n";
    for (size_t i = 0; i < marks.size(); ++i) {
        text += std::to_string(i + 1) + " " + FormatMarkTime(marks[i]) + " " +
                FormatMarkTime(marks[i] + markLengthMillis) + "\n";
    }
    return text;
}

bool WriteBeatFile(const std::string& path, const std::string& trackName, const std::vector<unsigned>& marks)
{
    FILE* file = std::fopen(PartialPath(path).c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const std::string text = BeatFileText(trackName, marks);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    return CompletePartialFile(path, written && closed, "beat file");
}

} // namespace Soundtrack
