#include "tools/soundtrack/Score.h"

#include <cmath>

namespace Soundtrack {

long BeatToSample(double beat)
{
    return std::lround(beat * samplesPerBeat);
}

unsigned SampleToMillis(long sample)
{
    return static_cast<unsigned>((sample * 1000L + sampleRate / 2) / sampleRate);
}

std::vector<unsigned> DrumMarks(const Score& score, Drum drum)
{
    std::vector<unsigned> marks;
    for (const Hit& hit : score.hits) {
        if (hit.drum == drum)
            marks.push_back(SampleToMillis(BeatToSample(hit.beat)));
    }
    return marks;
}

} // namespace Soundtrack
