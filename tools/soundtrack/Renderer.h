#pragma once
#include "Mix.h"
#include "Score.h"

#include <vector>

namespace Soundtrack {

// Plays every event of the score into the buses, adds the effects and
// returns the master: faded in at the start, faded out over the score's
// fade, and kept below full scale. Drums start at their exact sample.
StereoBus RenderScore(const Score& score);

// Interleaved 16-bit stereo of a master whose samples lie in [-1, 1].
std::vector<short> ToPcm16(const StereoBus& master);

} // namespace Soundtrack
