#include "app/CommandLine.h"
#include "graphics/FrameSize.h"
#include "runtime/StartTime.h"

#include <cstring>

namespace Demo {

namespace {

// Whether a word is meant as a size, valid or not: a start time's number
// followed by an x ("1280x720", "0x0", "-1x5", "1280X720").
bool LooksLikeSize(const char* word)
{
    if (!IsStartTime(word))
        return false;
    const char* end = word + std::strspn(word, " \f\n\r\t\v+-");
    end += std::strspn(end, "0123456789");
    return *end == 'x' || *end == 'X';
}

void SetWindow(ShowOptions& options, const char* size)
{
    options.display.surface = Adapter::Surface::Window;
    options.display.width = Adapter::screenWidth;
    options.display.height = Adapter::screenHeight;
    if (size && !Adapter::ReadFrameSize(size, options.display.width, options.display.height))
        throw UsageError(std::string("the window size '") + size + "' is not WIDTHxHEIGHT, each from 1 to " +
                         std::to_string(Adapter::largestFrameSide) + " pixels (e.g. 1280x720)");
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
                // `--window 60000` is a window and a start time. A word that
                // looks like a size is the size, and refused if it is no
                // valid one, never read as a start time.
                const bool sized = i + 1 < argc && LooksLikeSize(argv[i + 1]);
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
        // atoi would read `1280x720` as 1.28 s: a size without its option.
        if (LooksLikeSize(word))
            throw UsageError(std::string("'") + word +
                             "' is a size, not a start time (a window of that size: --window " + word + ")");
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
