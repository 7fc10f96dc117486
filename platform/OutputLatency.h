#pragma once
// How long a buffer takes from the audio callback to the ear, per SDL driver,
// and how long a picture takes from the screen to the eye beyond its frame.

namespace Platform {

// The latency in ms for the named driver, with `bufferMs` the length of one
// callback buffer: `overrideText` (RUVO_AUDIO_LATENCY_MS) when it is a whole
// number from 0 to 1000, else the driver's default.
int OutputLatencyMs(const char* driverName, int bufferMs, const char* overrideText);

// The display's own delay in ms beyond drawing and swapping a frame (a
// television's processing, say): `overrideText` (RUVO_DISPLAY_LATENCY_MS) when
// it is a whole number from 0 to 1000, else 0.
int DisplayLatencyMs(const char* overrideText);

} // namespace Platform
