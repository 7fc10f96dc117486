#include "render/RenderOptions.h"
#include "render/FrameOutput.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <getopt.h>
#include <stdexcept>

namespace Render {

std::string RenderUsage()
{
    return "Usage: ruvo-render [OPTION]... (--frames DIR | --video FILE)\n"
           "Plays the show on a scripted clock at a fixed frame rate and writes every frame.\n"
           "It finds the show's data as ruvo does, and needs an X display with OpenGL.\n"
           "\n"
           "  -r, --fps=RATE       frames per second, a number or a fraction such as 60000/1001 (default 60)\n"
           "  -s, --start=MS       music time of the first frame written, in milliseconds (default 0)\n"
           "  -e, --end=MS         render frames before this music time (default " +
           std::to_string(Demo::showEnd) + ")\n"
           "  -p, --preroll        play from 0 and write only the frames from --start on: the frames of a\n"
           "                       whole-show render at the same rate, earlier beats and all; costs drawing\n"
           "                       every frame before --start. Without it the show starts at --start, as\n"
           "                       'ruvo START' does: no earlier beats, scenes in their initial state and\n"
           "                       the frame grid counted from --start; nothing is drawn before it\n"
           "      --size=WxH       frame size in pixels, e.g. 1920x1080 or 3840x2160 (default 1024x768); the\n"
           "                       picture (1024:600) is drawn as large as fits, centred, black around it\n"
           "  -f, --frames=DIR     write numbered PNG files (frame-000000.png, ...) into DIR\n"
           "  -o, --video=FILE     write an H.264 MP4 with the soundtrack of the same range (needs ffmpeg)\n"
           "  -h, --help           show this help and exit\n";
}

namespace {

unsigned long ParseUnsigned(const char* text, const char* what)
{
    if (!text || !*text || *text == '-' || *text == '+')
        throw std::invalid_argument(std::string("invalid ") + what + ": '" + (text ? text : "") + "'");
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > UINT_MAX)
        throw std::invalid_argument(std::string("invalid ") + what + ": '" + text + "'");
    return static_cast<unsigned long>(value);
}

void ParseRate(const std::string& text, RenderOptions& options)
{
    const size_t slash = text.find('/');
    const std::string numerator = text.substr(0, slash);
    options.rateNumerator = ParseUnsigned(numerator.c_str(), "frame rate");
    options.rateDenominator =
        slash == std::string::npos ? 1 : ParseUnsigned(text.substr(slash + 1).c_str(), "frame rate");
    if (options.rateNumerator == 0 || options.rateDenominator == 0 ||
        options.rateNumerator > 1000ull * options.rateDenominator)
        throw std::invalid_argument("invalid frame rate: '" + text + "' (between 1/1000 and 1000 frames a second)");
}

void ParseSize(const char* text, RenderOptions& options)
{
    if (!Adapter::ReadFrameSize(text, options.width, options.height))
        throw std::invalid_argument(std::string("invalid frame size: '") + text + "' (WIDTHxHEIGHT, each from 1 to " +
                                    std::to_string(Adapter::largestFrameSide) + " pixels, e.g. 1920x1080)");
}

// A frame too large for the frame memory budget, refused before anything is
// drawn rather than failing to allocate minutes later.
void CheckFrameMemory(const RenderOptions& options)
{
    if (FramesWithinBudget(options.width, options.height) >= fewestFramesHeld)
        return;
    const size_t mebibyte = 1024 * 1024;
    const size_t mostPixels = frameMemoryBudget / fewestFramesHeld / FrameBytes(1, 1);
    const std::string square = std::to_string(static_cast<int>(std::sqrt(static_cast<double>(mostPixels))));
    throw std::invalid_argument("frames of " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                                " take " + std::to_string(FrameBytes(options.width, options.height) / mebibyte) +
                                " MiB each, and the renderer holds at least " + std::to_string(fewestFramesHeld) +
                                " within its " + std::to_string(frameMemoryBudget / mebibyte) +
                                " MiB for frames: at most " + std::to_string(mostPixels) + " pixels a frame (" +
                                square + "x" + square + ")");
}

// Value of --size in the option table: a long option only.
const int sizeOption = 256;

} // namespace

RenderOptions ParseRenderOptions(int argc, char** argv)
{
    static const option longOptions[] = {
        {"fps", required_argument, nullptr, 'r'},   {"start", required_argument, nullptr, 's'},
        {"end", required_argument, nullptr, 'e'},   {"frames", required_argument, nullptr, 'f'},
        {"video", required_argument, nullptr, 'o'}, {"preroll", no_argument, nullptr, 'p'},
        {"help", no_argument, nullptr, 'h'},        {"size", required_argument, nullptr, sizeOption},        {nullptr, 0, nullptr, 0}};
    RenderOptions options;
    optind = 1;
    opterr = 0;
    for (;;) {
        const int option = getopt_long(argc, argv, ":r:s:e:f:o:ph", longOptions, nullptr);
        if (option == -1)
            break;
        switch (option) {
        case 'r': ParseRate(optarg, options); break;
        case 's': options.start = ParseUnsigned(optarg, "start time"); break;
        case 'e': options.end = ParseUnsigned(optarg, "end time"); break;
        case 'f': options.framesDir = optarg; break;
        case 'o': options.videoFile = optarg; break;
        case 'p': options.preroll = true; break;
        case sizeOption: ParseSize(optarg, options); break;
        case 'h': options.help = true; return options;
        case ':': throw std::invalid_argument(std::string("option '") + argv[optind - 1] + "' needs a value");
        default: throw std::invalid_argument(std::string("unknown option '") + argv[optind - 1] + "'");
        }
    }
    if (optind < argc)
        throw std::invalid_argument(std::string("unexpected argument '") + argv[optind] + "'");
    if (options.framesDir.empty() == options.videoFile.empty())
        throw std::invalid_argument("give exactly one output: --frames DIR or --video FILE");
    CheckFrameMemory(options);
    // H.264 in 4:2:0 halves both sides for its colour.
    if (!options.videoFile.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        throw std::invalid_argument("a video needs an even frame width and height");
    if (options.start >= options.end)
        throw std::invalid_argument("empty range: the start must lie before the end");
    if (FirstWrittenFrame(options) >= FrameCount(options))
        throw std::invalid_argument("empty range: no frame of the show's frame grid lies between start and end");
    return options;
}

namespace {

// The number of frames n >= 0 with floor(n * 1000 * den / num) < span.
unsigned long long FramesWithin(const RenderOptions& options, unsigned long long span)
{
    const unsigned long long perSecond = 1000ull * options.rateDenominator;
    return (span * options.rateNumerator + perSecond - 1) / perSecond;
}

} // namespace

unsigned PlayStart(const RenderOptions& options) { return options.preroll ? 0 : options.start; }

unsigned FrameTime(const RenderOptions& options, unsigned long long frame)
{
    return PlayStart(options) +
           static_cast<unsigned>(frame * 1000ull * options.rateDenominator / options.rateNumerator);
}

unsigned long long FrameCount(const RenderOptions& options)
{
    return FramesWithin(options, options.end - PlayStart(options));
}

unsigned long long FirstWrittenFrame(const RenderOptions& options)
{
    // The frames before it are exactly those whose time lies before the start.
    return FramesWithin(options, options.start - PlayStart(options));
}

} // namespace Render
