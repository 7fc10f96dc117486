// The master as a listener meets it: at streaming loudness (-14 LUFS, the
// level players turn music to, so neither turned down nor left quiet) and
// with its peaks right up to the -2 dBFS ceiling, which leaves the encoder
// and decoders their room, but not held far under it, which would give away
// loudness for nothing. The meter is checked first against the reading the
// loudness standard gives for a plain tone.
#include "tools/soundtrack/Mastering.h"
#include "tools/soundtrack/Renderer.h"
#include "tools/soundtrack/ScoreBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Soundtrack;

namespace {

const double streamingLufs = -14;
const double ceilingDbfs = -2;

double PeakDbfs(const StereoBus& bus)
{
    float peak = 0;
    for (size_t n = 0; n < bus.Frames(); ++n)
        peak = std::max({peak, std::fabs(bus.left[n]), std::fabs(bus.right[n])});
    return 20 * std::log10(peak);
}

} // namespace

TEST(SoundtrackMaster, MeterReadsAToneAsTheStandardDoes)
{
    // A 997 Hz tone at full scale in both channels reads 0 LUFS; at half
    // scale 6.02 dB less.
    const size_t frames = 5 * sampleRate;
    StereoBus tone(frames);
    for (size_t n = 0; n < frames; ++n)
        tone.left[n] = tone.right[n] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 997 * n / sampleRate));
    EXPECT_NEAR(IntegratedLoudness(tone, sampleRate), -6.02, 0.05);
}

TEST(SoundtrackMaster, DenseMixReachesStreamingLoudnessWithPeaksAtTheCeiling)
{
    // Eight bars of drums and bass, loud and peaky: the limiter must take
    // the kicks down, which costs loudness that the master's gain must win
    // back.
    ScoreBuilder builder;
    for (int beat = 0; beat < 32; ++beat) {
        builder.Kick(beat, 1.0f);
        if (beat % 2 == 1)
            builder.Clap(beat, 1.0f);
        builder.Bass(beat + 0.5, 0.5, 33 + beat % 5, 1.0f, 0.8f);
    }
    const StereoBus master = RenderScore(builder.Finish(33, 32, 33));
    EXPECT_NEAR(IntegratedLoudness(master, sampleRate), streamingLufs, 0.1);
    const double peak = PeakDbfs(master);
    EXPECT_LE(peak, ceilingDbfs + 0.01) << "over the ceiling";
    EXPECT_GE(peak, ceilingDbfs - 0.5) << "held far under the ceiling";
}
