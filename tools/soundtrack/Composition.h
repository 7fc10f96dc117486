#pragma once
#include "tools/soundtrack/Score.h"

namespace Soundtrack {

// Scene boundaries of the show in milliseconds; each section of the piece
// starts on one of them, and at 120 BPM each falls on a beat.
const unsigned sectionStartsMillis[] = {0, 37000, 52000, 66000, 80000, 122000, 145000, 185000};
const unsigned pieceLengthMillis = 212000;

// The whole piece, the same on every call.
Score Compose();

} // namespace Soundtrack
