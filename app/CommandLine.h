#pragma once
#include "graphics/DisplaySettings.h"

#include <stdexcept>
#include <string>

namespace Demo {

// What the viewer asked for on the command line.
struct ShowOptions {
    bool help = false;
    int startTime = 0; // ms into the music
    Adapter::DisplaySettings display;
};

// A command line the program cannot follow; the text says why.
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// `ruvo [options] [START_MS]`, options and the start time in any order.
// Live play waits for the screen's refresh unless `vsyncSetting` (the
// RUVO_VSYNC variable) is "0". Throws UsageError.
ShowOptions ParseShowOptions(int argc, const char* const* argv, const char* vsyncSetting);

// The help text: usage, options, keys, environment and exit status.
std::string ShowUsage();

} // namespace Demo
