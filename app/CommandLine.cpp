#include "app/CommandLine.h"
#include "graphics/Graphics.h"
#include "runtime/StartTime.h"

#include <cstring>

namespace Demo {

namespace {

// Larger than any screen or frame a GL driver draws.
const int largestSide = 16384;

int ReadSide(const char* text, const char** end)
{
    int value = 0;
    const char* p = text;
    while (*p >= '0' && *p <= '9' && value <= largestSide)
        value = value * 10 + (*p++ - '0');
    *end = p;
    return p == text ? 0 : value;
}

// "WxH", both whole numbers of pixels from 1 to largestSide.
bool ReadSize(const char* text, int& width, int& height)
{
    const char* end = nullptr;
    const int w = ReadSide(text, &end);
    if (w < 1 || w > largestSide || (*end != 'x' && *end != 'X'))
        return false;
    const int h = ReadSide(end + 1, &end);
    if (h < 1 || h > largestSide || *end != '\0')
        return false;
    width = w;
    height = h;
    return true;
}

void SetWindow(ShowOptions& options, const char* size)
{
    options.display.surface = Adapter::Surface::Window;
    options.display.width = Adapter::screenWidth;
    options.display.height = Adapter::screenHeight;
    if (size && !ReadSize(size, options.display.width, options.display.height))
        throw UsageError(std::string("the window size '") + size + "' is not of the form WIDTHxHEIGHT (e.g. 1280x720)");
}

} // namespace

ShowOptions ParseShowOptions(int argc, const char* const* argv, const char* vsyncSetting)
{
    ShowOptions options;
    options.display.vsync = !(vsyncSetting && std::strcmp(vsyncSetting, "0") == 0);
    bool startGiven = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i] ? argv[i] : "";
        if (!optionsEnded && !IsStartTime(word) && word[0] == '-') {
            if (std::strcmp(word, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(word, "-h") == 0 || std::strcmp(word, "--help") == 0) {
                options.help = true;
            } else if (std::strcmp(word, "-w") == 0 || std::strcmp(word, "--window") == 0) {
                // The size may follow as a word of its own, but need not:
                // `--window 60000` is a window and a start time.
                int width = 0, height = 0;
                const bool sized = i + 1 < argc && argv[i + 1] && ReadSize(argv[i + 1], width, height);
                SetWindow(options, sized ? argv[++i] : nullptr);
            } else if (std::strncmp(word, "--window=", 9) == 0) {
                SetWindow(options, word + 9);
            } else if (std::strcmp(word, "--classic") == 0) {
                options.display.drawing = Adapter::DrawingSize::Classic;
            } else if (std::strcmp(word, "--native") == 0) {
                options.display.drawing = Adapter::DrawingSize::Native;
            } else {
                throw UsageError(std::string("unknown option '") + word + "'");
            }
            continue;
        }
        if (!IsStartTime(word))
            throw UsageError(std::string("'") + word + "' is not a start time in milliseconds");
        if (startGiven)
            throw UsageError(std::string("a second start time '") + word + "'");
        options.startTime = ReadStartTime(word);
        startGiven = true;
    }
    return options;
}

std::string ShowUsage()
{
    return "Usage: ruvo [OPTION]... [START_MS]\n"
           "Plays the show full screen, from START_MS milliseconds into the music (default 0).\n"
           "\n"
           "Options:\n"
           "  -w, --window[=WxH]  play in a window of WxH pixels (default 1024x768), not full screen\n"
           "      --classic       draw the picture at 1024 x 600 and scale it to the screen (cheaper;\n"
           "                      the default on a software renderer)\n"
           "      --native        draw the picture at the screen's own size (the default elsewhere)\n"
           "  -h, --help          show this help and exit\n"
           "\n"
           "Escape, or closing the window, ends the show.\n"
           "\n"
           "Environment:\n"
           "  RUVO_VSYNC=0             do not wait for the screen's refresh between frames\n"
           "  RUVO_AUDIO_LATENCY_MS    the sound output's latency in ms (default: one sound buffer, 23 ms;\n"
           "                           half of one for SDL's pipewire driver)\n"
           "  RUVO_DISPLAY_LATENCY_MS  the screen's own delay in ms (default 0)\n"
           "  RUVO_DEBUG               print diagnostic lines on stderr\n"
           "  RUVO_NO_DIALOG           report errors on stderr only, without a dialog\n"
           "  SDL_AUDIODRIVER          SDL's sound driver (dummy: play without sound)\n"
           "\n"
           "Exit status: 0 when the show ends or is stopped, 1 after an error, 2 for a wrong command line.\n";
}

} // namespace Demo
