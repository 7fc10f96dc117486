#include "tools/soundtrack/Renderer.h"

#include "tools/soundtrack/Effects.h"
#include "tools/soundtrack/Instruments.h"
#include "tools/soundtrack/Mastering.h"

#include <algorithm>
#include <cmath>

namespace Soundtrack {

namespace {

const double fadeInBeats = 12;
const float reverbReturn = 0.55f;
const float delayReturn = 0.6f;

void PlayHits(Mix& mix, const Score& score)
{
    uint32_t seed = 1;
    for (const Hit& hit : score.hits) {
        const long start = BeatToSample(hit.beat);
        seed = seed * 1664525u + 1013904223u; // each noise hit sounds a little different
        switch (hit.drum) {
        case Drum::Kick:
            PlayKick(mix, start, hit.velocity);
            break;
        case Drum::Clap:
            PlayClap(mix, start, hit.velocity, seed);
            break;
        case Drum::ClosedHat:
        case Drum::OpenHat:
            PlayHat(mix, start, hit.velocity, hit.drum == Drum::OpenHat, seed);
            break;
        case Drum::Crash:
            PlayCrash(mix, start, hit.velocity, seed);
            break;
        }
    }
    for (const Riser& riser : score.risers)
        PlayRiser(mix, BeatToSample(riser.startBeat), BeatToSample(riser.endBeat), riser.level, seed++);
}

void PlayNotes(Mix& mix, const Score& score)
{
    for (const Note& note : score.notes) {
        const long start = BeatToSample(note.beat);
        const long length = BeatToSample(note.beat + note.lengthBeats) - start;
        switch (note.voice) {
        case Voice::Bass:
            PlayBass(mix, start, length, note);
            break;
        case Voice::Pad:
            PlayPad(mix, start, length, note);
            break;
        case Voice::Pluck:
            PlayPluck(mix, start, length, note);
            break;
        }
    }
}

void DuckMusic(Mix& mix, const Score& score)
{
    std::vector<long> starts;
    std::vector<float> velocities;
    for (const Hit& hit : score.hits) {
        if (hit.drum == Drum::Kick) {
            starts.push_back(BeatToSample(hit.beat));
            velocities.push_back(hit.velocity);
        }
    }
    DuckUnderKicks(mix.music, starts, velocities, 0.55f);
}

float MasterGain(const Score& score, size_t frame)
{
    const double beat = static_cast<double>(frame) / samplesPerBeat;
    double gain = std::min(1.0, beat / fadeInBeats);
    if (beat > score.fadeStartBeat) {
        const double x = std::min(1.0, (beat - score.fadeStartBeat) / (score.fadeEndBeat - score.fadeStartBeat));
        gain *= (1 - x) * (1 - x);
    }
    return static_cast<float>(gain);
}

} // namespace

StereoBus MixScore(const Score& score)
{
    Mix mix(static_cast<size_t>(BeatToSample(score.lengthBeats)));
    PlayHits(mix, score);
    PlayNotes(mix, score);
    DuckMusic(mix, score);
    ApplyPingPongDelay(mix.delaySend, BeatToSample(0.75), 0.42f);
    ApplyReverb(mix.reverbSend);

    StereoBus master(mix.Frames());
    for (size_t n = 0; n < master.Frames(); ++n) {
        const float gain = MasterGain(score, n);
        const float l = mix.drums.left[n] + mix.music.left[n] + reverbReturn * mix.reverbSend.left[n] +
                        delayReturn * mix.delaySend.left[n];
        const float r = mix.drums.right[n] + mix.music.right[n] + reverbReturn * mix.reverbSend.right[n] +
                        delayReturn * mix.delaySend.right[n];
        master.left[n] = gain * l;
        master.right[n] = gain * r;
    }
    return master;
}

StereoBus RenderScore(const Score& score)
{
    StereoBus master = MixScore(score);
    Master(master, sampleRate);
    return master;
}

std::vector<short> ToPcm16(const StereoBus& master)
{
    std::vector<short> pcm(master.Frames() * 2);
    auto convert = [](float x) {
        return static_cast<short>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
    };
    for (size_t n = 0; n < master.Frames(); ++n) {
        pcm[2 * n] = convert(master.left[n]);
        pcm[2 * n + 1] = convert(master.right[n]);
    }
    return pcm;
}

} // namespace Soundtrack
