#include "tools/soundtrack/Composition.h"

#include "tools/soundtrack/ScoreBuilder.h"

#include <algorithm>

namespace Soundtrack {

namespace {

// A minor and its neighbours.
const Chord am = {33, {57, 60, 64}};
const Chord f = {29, {53, 57, 60}};
const Chord c = {36, {55, 60, 64}};
const Chord g = {31, {55, 59, 62}};
const Chord dm = {38, {57, 62, 65}};
const Chord em = {28, {55, 59, 64}};

const Chord* const homeProgression[] = {&am, &f, &c, &g};
const Chord* const darkProgression[] = {&dm, &am, &f, &g};
const Chord* const liftProgression[] = {&f, &g, &em, &am};

const Chord& ChordOf(const Chord* const (&progression)[4], int bar)
{
    return *progression[bar % 4];
}

double Beat(unsigned millis)
{
    return millis / 500.0;
}

float Ramp(double from, double to, double at, float low, float high)
{
    const double x = std::clamp((at - from) / (to - from), 0.0, 1.0);
    return static_cast<float>(low + (high - low) * x);
}

void Hats(ScoreBuilder& s, double from, double to, double step, float offbeatVelocity, float ghostVelocity)
{
    for (double beat = from; beat < to - 1e-9; beat += step) {
        const double inBeat = beat - static_cast<long>(beat);
        if (inBeat == 0.5)
            s.Hat(beat, offbeatVelocity);
        else if (inBeat != 0.0)
            s.Hat(beat, ghostVelocity);
    }
}

const std::vector<BassStep> offbeatBass = {{0.5, 0.35, 0, 0.9f}, {1.5, 0.35, 0, 0.9f}, {2.5, 0.35, 0, 0.9f},
                                           {3.5, 0.35, 1, 0.8f}};
const std::vector<BassStep> rollingBass = {{0.5, 0.2, 0, 0.9f},  {0.75, 0.2, 0, 0.6f}, {1.5, 0.2, 1, 0.8f},
                                           {1.75, 0.2, 0, 0.6f}, {3.0, 0.4, 0, 0.9f},  {3.5, 0.2, 1, 0.8f},
                                           {3.75, 0.2, 0, 0.6f}};
const std::vector<BassStep> acidBass = {
    {0.25, 0.2, 0, 0.7f}, {0.5, 0.2, 1, 0.9f}, {0.75, 0.2, 0, 0.6f}, {1.25, 0.2, 0, 0.7f},
    {1.5, 0.2, 0, 0.9f},  {1.75, 0.2, 1, 0.7f}, {2.25, 0.2, 0, 0.7f}, {2.5, 0.2, 1, 0.9f},
    {2.75, 0.2, 0, 0.6f}, {3.25, 0.2, 0, 0.7f}, {3.5, 0.2, 1, 0.9f},  {3.75, 0.2, 0, 0.7f}};
const std::vector<BassStep> halfTimeBass = {{0.0, 1.4, 0, 0.9f}, {1.5, 1.0, 1, 0.7f}, {3.0, 0.9, 0, 0.8f}};
const std::vector<BassStep> wholeBass = {{0.0, 3.9, 0, 0.7f}};

// Chords, bass figure and a sixteenth arpeggio over one bar of a groove.
struct Accompaniment {
    float padBrightness;
    float bassBrightness;
    float arpBrightness;
    void Play(ScoreBuilder& s, double bar, double barEnd, const Chord& chord) const
    {
        s.Pad(bar, barEnd - bar, chord, 0.45f, padBrightness);
        s.BassFigure(bar, barEnd, rollingBass, chord, bassBrightness);
        s.Arpeggio(bar, barEnd, 0.25, chord, 0.2f, arpBrightness);
    }
};

// 0-37 s: pads out of silence, the kick from 10 s (the logo pulses on it
// from then on), hats, bass and an arpeggio layer in; a break with a riser.
void Intro(ScoreBuilder& s, double start, double end)
{
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(homeProgression, index);
        s.Pad(bar, std::min(4.0, end - bar), chord, 0.55f, Ramp(start, end, bar, 0.15f, 0.6f));
        if (bar >= 36 && bar < 70)
            s.BassFigure(bar, 70, offbeatBass, chord, 0.35f);
        if (bar >= 52 && bar < 70)
            s.Arpeggio(bar, std::min(bar + 4, 70.0), 0.5, chord, 0.25f, 0.4f);
    });
    for (double beat = 20; beat < 70; beat += 1)
        s.Kick(beat, beat < 24 ? 0.8f : 1.0f);
    Hats(s, 28, 44, 0.5, 0.45f, 0.0f);
    Hats(s, 44, 70, 0.25, 0.5f, 0.2f);
    s.AddRiser(66, end - 0.5, 0.5f);
}

// 37-52 s: a two-step groove, claps on two and four between the kicks.
void Particles(ScoreBuilder& s, double start, double end)
{
    s.Crash(start);
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(homeProgression, index);
        const double barEnd = std::min(bar + 4, end);
        Accompaniment{0.6f, 0.5f, 0.55f}.Play(s, bar, barEnd, chord);
        if (barEnd - bar < 4) { // half-bar fill into the next scene
            s.Kick(bar);
            s.Clap(bar + 1, 0.8f);
            s.Clap(bar + 1.5, 0.9f);
            return;
        }
        s.Kick(bar);
        s.Clap(bar + 1);
        s.Kick(bar + 2);
        s.Kick(bar + 2.5, 0.85f);
        s.Clap(bar + 3);
    });
    Hats(s, start, end, 0.25, 0.5f, 0.22f);
}

// 52-66 s: four to the floor, claps on the off-beats, a resonant bass.
void Cylinder(ScoreBuilder& s, double start, double end)
{
    s.Crash(start);
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(darkProgression, index);
        s.Pad(bar, 4, chord, 0.4f, 0.4f);
        s.BassFigure(bar, end, acidBass, chord, index % 2 ? 0.9f : 0.65f);
        for (int beat = 0; beat < 4; ++beat)
            s.Kick(bar + beat);
        s.Clap(bar + 1.5, 0.8f);
        s.Clap(bar + 3.5);
    });
    Hats(s, start, end, 0.5, 0.55f, 0.0f);
}

// 66-80 s: half time; a clap an eighth after a kick catches the ball in flight.
void Ball(ScoreBuilder& s, double start, double end)
{
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(liftProgression, index);
        s.Pad(bar, 4, chord, 0.5f, 0.5f);
        s.BassFigure(bar, end, halfTimeBass, chord, 0.3f);
        if (index % 2 == 1)
            s.Arpeggio(bar, bar + 4, 0.5, chord, 0.22f, 0.35f);
        s.Kick(bar);
        s.Kick(bar + 1.5, 0.9f);
        s.Clap(bar + 2);
        if (bar + 4 < end) // the last bar stops short, into the breakdown
            s.Kick(bar + 3, 0.9f);
    });
    Hats(s, start, end - 2, 0.5, 0.4f, 0.0f);
}

// 80-122 s: breakdown without kicks, a gentle groove, then the build.
// Claps stay few (six): each one lowers the rising drink for good.
void Drink(ScoreBuilder& s, double start, double end)
{
    const double groove = start + 32, build = start + 64;
    ScoreBuilder::Bars(start, groove, [&](double bar, int index) {
        const Chord& chord = ChordOf(homeProgression, index);
        s.Pad(bar, 4, chord, 0.6f, Ramp(start, groove, bar, 0.3f, 0.7f));
        s.BassFigure(bar, groove, wholeBass, chord, 0.2f);
        s.Arpeggio(bar, bar + 4, 0.5, chord, 0.25f, Ramp(start, groove, bar, 0.2f, 0.6f));
    });
    s.Clap(start + 15, 0.8f);
    s.Clap(groove - 1, 0.9f);
    Hats(s, start + 16, groove, 0.25, 0.12f, 0.08f);
    ScoreBuilder::Bars(groove, build, [&](double bar, int index) {
        const Chord& chord = ChordOf(homeProgression, index);
        s.Pad(bar, 4, chord, 0.5f, 0.6f);
        s.BassFigure(bar, build, offbeatBass, chord, 0.4f);
        s.Arpeggio(bar, bar + 4, 0.25, chord, 0.18f, 0.5f);
        s.Kick(bar);
        s.Kick(bar + 2.5, 0.9f);
        if (index % 2 == 1)
            s.Clap(bar + 3);
    });
    Hats(s, groove, build, 0.5, 0.45f, 0.0f);
    const Chord* const buildChords[] = {&f, &g, &am, &f, &g};
    ScoreBuilder::Bars(build, end, [&](double bar, int index) {
        const Chord& chord = *buildChords[index];
        const float bright = Ramp(build, end, bar, 0.3f, 0.95f);
        s.Pad(bar, 4, chord, 0.5f, bright);
        for (double beat = bar; beat < std::min(bar + 4, end - 2); beat += 0.5)
            s.Bass(beat + 0.25, 0.2, chord.bassRoot + (beat - bar >= 2 ? 12 : 0), 0.8f, bright);
    });
    for (double beat = build; beat < build + 12; beat += 1)
        s.Kick(beat);
    for (double beat = build + 12; beat < end - 2; beat += 0.5)
        s.Kick(beat, 0.9f);
    for (double beat = build; beat < end - 2; beat += 0.25)
        s.Hat(beat, Ramp(build, end, beat, 0.1f, 0.45f));
    s.AddRiser(build + 4, end - 0.5, 0.7f);
}

// 122-145 s: the peak, a driving broken beat.
void City(ScoreBuilder& s, double start, double end)
{
    s.Crash(start, 0.7f);
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(liftProgression, index);
        const double barEnd = std::min(bar + 4, end);
        Accompaniment{0.8f, 0.75f, 0.7f}.Play(s, bar, barEnd, chord);
        s.Kick(bar);
        s.Kick(bar + 0.5, 0.85f);
        s.Clap(bar + 1);
        s.Clap(bar + 1.5, 0.7f); // also the fill's second clap
        if (barEnd - bar < 4)
            return;
        s.Kick(bar + 2);
        s.Kick(bar + 2.5, 0.85f);
        s.Clap(bar + 3);
    });
    Hats(s, start, end, 0.25, 0.5f, 0.25f);
}

// 145-185 s: four to the floor with a clap on four, a clapping break, a
// kick roll and a clap roll into the last downbeat at 185 s.
void Boxes(ScoreBuilder& s, double start, double end)
{
    const double groove = start + 12, brk = start + 44, second = start + 52, roll = end - 4;
    s.Crash(start);
    ScoreBuilder::Bars(start, end, [&](double bar, int index) {
        const Chord& chord = ChordOf(homeProgression, index);
        const double barEnd = std::min(bar + 4, end);
        s.Pad(bar, barEnd - bar, chord, 0.45f, 0.7f);
        s.BassFigure(bar, std::min(barEnd, roll), bar < groove ? offbeatBass : rollingBass, chord, 0.6f);
        if (bar >= groove)
            s.Arpeggio(bar, std::min(barEnd, roll + 4), 0.25, chord, 0.2f, 0.65f);
    });
    for (double beat = start; beat < groove; beat += 1)
        s.Kick(beat);
    auto groovePart = [&](double from, double to) {
        ScoreBuilder::Bars(from, to, [&](double bar, int index) {
            s.Kick(bar);
            s.Kick(bar + 1);
            s.Kick(bar + 2);
            s.Clap(bar + 3);
            if (index % 2 == 1)
                s.Kick(bar + 3.5, 0.8f);
        });
    };
    groovePart(groove, brk);
    for (double beat = brk + 1; beat < second; beat += 2)
        s.Clap(beat, 0.85f);
    s.AddRiser(brk + 2, second - 0.5, 0.3f);
    groovePart(second, roll);
    for (double beat = roll; beat < end - 2; beat += 0.5)
        s.Kick(beat, 0.9f);
    for (double beat = end - 2; beat < end; beat += 0.5)
        s.Clap(beat, Ramp(end - 2, end, beat, 0.7f, 1.0f));
    Hats(s, start, brk, 0.5, 0.5f, 0.0f);
    Hats(s, second, end - 2, 0.25, 0.5f, 0.22f);
}

// 185 s to the end: a last downbeat, then slow chords that fade away.
void Ending(ScoreBuilder& s, double start, double end)
{
    s.Kick(start);
    s.Crash(start, 0.8f);
    const Chord* const chords[] = {&am, &f, &c, &g, &am};
    for (int index = 0; index < 5; ++index) {
        const double bar = start + 8 * index;
        const double length = index < 4 ? 8 : end - bar;
        s.Pad(bar, length, *chords[index], 0.55f, 0.45f);
        s.Bass(bar, std::min(length, 7.5), chords[index]->bassRoot, 0.6f, 0.15f);
        s.Arpeggio(bar, bar + 8, 0.5, *chords[index], Ramp(start, start + 40, bar, 0.22f, 0.08f), 0.3f);
    }
}

} // namespace

Score Compose()
{
    using SectionWriter = void (*)(ScoreBuilder&, double, double);
    static const struct {
        const char* name;
        SectionWriter write;
    } parts[] = {{"logo", Intro},   {"particles", Particles}, {"cylinder", Cylinder}, {"ball", Ball},
                 {"drink", Drink},  {"city", City},           {"boxes", Boxes},       {"end", Ending}};
    static_assert(sizeof parts / sizeof parts[0] == sizeof sectionStartsMillis / sizeof sectionStartsMillis[0],
                  "one writer per section");

    ScoreBuilder builder;
    const size_t count = sizeof parts / sizeof parts[0];
    for (size_t i = 0; i < count; ++i) {
        const double start = Beat(sectionStartsMillis[i]);
        const double end = Beat(i + 1 < count ? sectionStartsMillis[i + 1] : pieceLengthMillis);
        builder.Section(parts[i].name, start, end);
        parts[i].write(builder, start, end);
    }
    return builder.Finish(Beat(pieceLengthMillis), Beat(186000), Beat(206000));
}

} // namespace Soundtrack
