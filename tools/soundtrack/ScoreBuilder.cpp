#include "tools/soundtrack/ScoreBuilder.h"

#include <algorithm>
#include <cmath>

namespace Soundtrack {

void ScoreBuilder::Section(const std::string& name, double startBeat, double endBeat)
{
    score.sections.push_back({name, startBeat, endBeat});
}

void ScoreBuilder::Pad(double beat, double length, const Chord& chord, float velocity, float brightness)
{
    for (int tone : chord.tones)
        score.notes.push_back({Voice::Pad, beat, length, tone, velocity, brightness});
}

void ScoreBuilder::Bass(double beat, double length, int midi, float velocity, float brightness)
{
    score.notes.push_back({Voice::Bass, beat, length, midi, velocity, brightness});
}

void ScoreBuilder::BassFigure(double barStart, double barEnd, const std::vector<BassStep>& figure,
                              const Chord& chord, float brightness)
{
    for (const BassStep& step : figure) {
        const double beat = barStart + step.offset;
        if (beat < barEnd)
            Bass(beat, std::min(step.length, barEnd - beat), chord.bassRoot + 12 * step.octave, step.velocity,
                 brightness);
    }
}

void ScoreBuilder::Arpeggio(double startBeat, double endBeat, double step, const Chord& chord, float velocity,
                            float brightness)
{
    static const int order[] = {0, 1, 2, 3, 2, 1};
    int index = 0;
    for (double beat = startBeat; beat < endBeat - 1e-9; beat += step, ++index) {
        const int slot = order[index % 6];
        const int midi = slot < 3 ? chord.tones[slot] + 12 : chord.tones[0] + 24;
        score.notes.push_back({Voice::Pluck, beat, step * 0.9, midi, velocity, brightness});
    }
}

void ScoreBuilder::Bars(double from, double to, const std::function<void(double, int)>& bar)
{
    int index = 0;
    for (double start = from; start < to - 1e-9; start += 4, ++index)
        bar(start, index);
}

Score ScoreBuilder::Finish(double lengthBeats, double fadeStartBeat, double fadeEndBeat)
{
    std::vector<double> drumBeats, clapBeats;
    for (const Hit& hit : score.hits) {
        if (hit.drum == Drum::Kick || hit.drum == Drum::Clap)
            drumBeats.push_back(hit.beat);
        if (hit.drum == Drum::Clap)
            clapBeats.push_back(hit.beat);
    }
    std::sort(drumBeats.begin(), drumBeats.end());
    std::sort(clapBeats.begin(), clapBeats.end());
    auto hitsOn = [](const std::vector<double>& beats, double beat) {
        auto next = std::lower_bound(beats.begin(), beats.end(), beat - 0.01);
        return next != beats.end() && std::fabs(*next - beat) < 0.01;
    };
    score.hits.erase(std::remove_if(score.hits.begin(), score.hits.end(),
                                    [&](const Hit& hit) {
                                        return (hit.drum == Drum::ClosedHat || hit.drum == Drum::OpenHat) &&
                                               hitsOn(drumBeats, hit.beat);
                                    }),
                     score.hits.end());
    // The bright attack of a bass or pluck note would smear a clap's onset.
    score.notes.erase(std::remove_if(score.notes.begin(), score.notes.end(),
                                     [&](const Note& note) {
                                         return note.voice != Voice::Pad && hitsOn(clapBeats, note.beat);
                                     }),
                      score.notes.end());
    std::stable_sort(score.hits.begin(), score.hits.end(),
                     [](const Hit& a, const Hit& b) { return a.beat < b.beat; });
    score.lengthBeats = lengthBeats;
    score.fadeStartBeat = fadeStartBeat;
    score.fadeEndBeat = fadeEndBeat;
    return std::move(score);
}

} // namespace Soundtrack
