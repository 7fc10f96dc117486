#pragma once
#include "tools/soundtrack/Mix.h"

namespace Soundtrack {

// A small room: parallel damped combs into series allpasses, per channel
// with slightly different lengths for width. Replaces the send with its echo.
void ApplyReverb(StereoBus& send);

// Echo that bounces between the channels every `delayFrames`, darker each time.
// Replaces the send with its echoes.
void ApplyPingPongDelay(StereoBus& send, long delayFrames, float feedback);

// Scales the bus down under each kick (the pumping of dance music):
// `depth` at the hit, recovering over about a tenth of a second.
void DuckUnderKicks(StereoBus& bus, const std::vector<long>& kickStarts, const std::vector<float>& velocities,
                    float depth);

} // namespace Soundtrack
