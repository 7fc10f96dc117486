#pragma once
// The last step before encoding: the mix is brought to a streaming-level
// loudness, and its peaks are held under a ceiling with room for what the
// MP3 encoder and a decoder's reconstruction add between samples.
#include "tools/soundtrack/Mix.h"

namespace Soundtrack {

struct MasterTarget {
    double loudnessLufs = -14;
    double ceilingDbfs = -2;
};

// Integrated loudness (ITU-R BS.1770: K-weighted, gated 400 ms blocks) of a
// stereo bus at `rate`, in LUFS; minus infinity when all of it is silence.
double IntegratedLoudness(const StereoBus& bus, int rate);

// A look-ahead peak limiter, linked across the channels, that holds the
// signal under `ceiling` also between samples (as a decoder's reconstruction
// rebuilds it: the true peak, estimated by 4x interpolation). Reading ahead in
// the finished bus, the gain starts to fall `lookAheadFrames` before a peak
// and reaches the ceiling at the peak itself, so no sample moves: a drum
// still starts at its own sample. Samples below the ceiling that are far
// from any peak keep their value.
void LimitPeaks(StereoBus& bus, float ceiling, long lookAheadFrames, long releaseFrames);

// Gain to the target loudness, then the limiter, repeated until the limited
// result measures the target (limiting takes a little loudness away).
// A silent bus stays silent.
void Master(StereoBus& bus, int rate, const MasterTarget& target = MasterTarget());

} // namespace Soundtrack
