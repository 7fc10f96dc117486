#pragma once
// The piece as a list of timed events: drum hits, pitched notes and noise
// sweeps, all placed in beats. The renderer turns it into audio and the
// beat files are written from the same hits, so marks and sound agree.
#include <string>
#include <vector>

namespace Soundtrack {

const int sampleRate = 44100;
const int beatsPerMinute = 120;
const int samplesPerBeat = sampleRate * 60 / beatsPerMinute; // 22050, so every beat is a whole sample

// Sample position of a beat; fractions (sixteenths) are rounded.
long BeatToSample(double beat);
// Millisecond of music time of a sample position, rounded to the nearest.
unsigned SampleToMillis(long sample);

enum class Drum { Kick, Clap, ClosedHat, OpenHat, Crash };
enum class Voice { Bass, Pad, Pluck };

struct Hit {
    Drum drum;
    double beat;
    float velocity;
};

struct Note {
    Voice voice;
    double beat;
    double lengthBeats;
    int midi;
    float velocity;
    float brightness; // 0 dark .. 1 open filter
};

// A noise sweep that rises in pitch and level, for builds.
struct Riser {
    double startBeat;
    double endBeat;
    float level;
};

// A stretch of the piece that plays over one scene of the show.
struct Section {
    std::string name;
    double startBeat;
    double endBeat;
};

struct Score {
    std::vector<Section> sections;
    std::vector<Hit> hits;   // sorted by beat
    std::vector<Note> notes;
    std::vector<Riser> risers;
    double lengthBeats = 0;
    double fadeStartBeat = 0; // master fade to silence between these
    double fadeEndBeat = 0;
};

// Millisecond marks of one drum, in ascending order, for a beat file.
std::vector<unsigned> DrumMarks(const Score& score, Drum drum);

} // namespace Soundtrack
