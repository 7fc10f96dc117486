#pragma once
// Small vocabulary for writing the score: drums, chords, bass steps and
// arpeggios placed in beats, collected into a Score.
#include "tools/soundtrack/Score.h"

#include <functional>

namespace Soundtrack {

struct Chord {
    int bassRoot;  // MIDI note of the bass, octave 1-2
    int tones[3];  // close voicing around middle C
};

// One step of a repeating bass figure, relative to the bar.
struct BassStep {
    double offset;
    double length;
    int octave; // 0 root, 1 an octave up
    float velocity;
};

class ScoreBuilder {
public:
    void Section(const std::string& name, double startBeat, double endBeat);
    void Kick(double beat, float velocity = 1.0f) { Drum(Drum::Kick, beat, velocity); }
    void Clap(double beat, float velocity = 0.9f) { Drum(Drum::Clap, beat, velocity); }
    void Hat(double beat, float velocity, bool open = false) { Drum(open ? Drum::OpenHat : Drum::ClosedHat, beat, velocity); }
    void Crash(double beat, float velocity = 0.6f) { Drum(Drum::Crash, beat, velocity); }
    void Pad(double beat, double length, const Chord& chord, float velocity, float brightness);
    void Bass(double beat, double length, int midi, float velocity, float brightness);
    void BassFigure(double barStart, double barEnd, const std::vector<BassStep>& figure, const Chord& chord,
                    float brightness);
    // Chord tones an octave up, one every `step` beats, rising then falling.
    void Arpeggio(double startBeat, double endBeat, double step, const Chord& chord, float velocity, float brightness);
    void AddRiser(double startBeat, double endBeat, float level) { score.risers.push_back({startBeat, endBeat, level}); }
    // Calls `bar(barStart, index)` for each bar of four beats from `from`
    // that starts before `to`.
    static void Bars(double from, double to, const std::function<void(double, int)>& bar);
    // Sorts the hits and drops hats that would sound on a kick or clap, and
    // bass and pluck notes on a clap, where they would blur the drum's onset.
    Score Finish(double lengthBeats, double fadeStartBeat, double fadeEndBeat);

private:
    void Drum(Soundtrack::Drum drum, double beat, float velocity) { score.hits.push_back({drum, beat, velocity}); }
    Score score;
};

} // namespace Soundtrack
