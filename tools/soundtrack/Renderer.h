#pragma once
#include "tools/soundtrack/Mix.h"
#include "tools/soundtrack/Score.h"

#include <vector>

namespace Soundtrack {

// Plays every event of the score into the buses, adds the effects and
// returns their sum, faded in at the start and faded out over the score's
// fade. Drums start at their exact sample. Peaks may pass full scale.
StereoBus MixScore(const Score& score);

// The mix, mastered (Mastering.h): at streaming loudness, peaks under the
// ceiling, and every sample where the mix has it.
StereoBus RenderScore(const Score& score);

// Interleaved 16-bit stereo of a master whose samples lie in [-1, 1].
std::vector<short> ToPcm16(const StereoBus& master);

} // namespace Soundtrack
