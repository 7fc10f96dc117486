#include "platform/OutputLatency.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Platform {

namespace {

bool ParseMs(const char* text, int& ms)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || value > 1000)
        return false;
    ms = static_cast<int>(value);
    return true;
}

} // namespace

int OutputLatencyMs(const char* driverName, int bufferMs, const char* overrideText)
{
    int ms = 0;
    if (ParseMs(overrideText, ms))
        return ms;
    // Drivers without a sound card consume the buffer as it is filled.
    if (driverName && (std::strcmp(driverName, "dummy") == 0 || std::strcmp(driverName, "disk") == 0))
        return 0;
    // SDL's native PipeWire output is heard about half a buffer after SDL
    // takes it (measured 10 to 11 ms for 1024 samples at 44.1 kHz: the
    // graph pulls it in smaller pieces).
    if (driverName && std::strcmp(driverName, "pipewire") == 0)
        return bufferMs / 2;
    // SDL's ALSA and PulseAudio outputs keep one period queued in front of
    // the one being filled.
    return bufferMs;
}

int DisplayLatencyMs(const char* overrideText)
{
    int ms = 0;
    return ParseMs(overrideText, ms) ? ms : 0;
}

} // namespace Platform
