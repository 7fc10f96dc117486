#pragma once
// How long a buffer takes from the audio callback to the ear, per SDL driver.

namespace Platform {

// The latency in ms for the named driver, with `bufferMs` the length of one
// callback buffer: `overrideText` (RUVO_AUDIO_LATENCY_MS) when it is a whole
// number from 0 to 1000, else the driver's default.
int OutputLatencyMs(const char* driverName, int bufferMs, const char* overrideText);

} // namespace Platform
