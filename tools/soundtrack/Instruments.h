#pragma once
// The voices of the piece. Each writes one event into the mix, starting at
// sample `start`; drums start sounding at exactly that sample.
#include "tools/soundtrack/Mix.h"
#include "tools/soundtrack/Score.h"

#include <cstdint>

namespace Soundtrack {

void PlayKick(Mix& mix, long start, float velocity);
void PlayClap(Mix& mix, long start, float velocity, uint32_t seed);
void PlayHat(Mix& mix, long start, float velocity, bool open, uint32_t seed);
void PlayCrash(Mix& mix, long start, float velocity, uint32_t seed);
void PlayRiser(Mix& mix, long start, long end, float level, uint32_t seed);
void PlayBass(Mix& mix, long start, long length, const Note& note);
void PlayPad(Mix& mix, long start, long length, const Note& note);
void PlayPluck(Mix& mix, long start, long length, const Note& note);

} // namespace Soundtrack
