// The composition and its beat lists, checked against what the show needs:
// sections on the scene boundaries, marks that each get a frame of their
// own, few claps while the drink rises, beat files the runtime reads back,
// a renderer that starts every drum at its exact sample, and a limiter
// that keeps it there.
#include "runtime/FileSynchronizer.h"
#include "tests/support/TestData.h"
#include "tools/soundtrack/BeatFile.h"
#include "tools/soundtrack/Composition.h"
#include "tools/soundtrack/Mastering.h"
#include "tools/soundtrack/Renderer.h"
#include "tools/soundtrack/ScoreBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace Soundtrack;

namespace {

std::vector<unsigned> MarksBetween(const std::vector<unsigned>& marks, unsigned from, unsigned to)
{
    std::vector<unsigned> inside;
    std::copy_if(marks.begin(), marks.end(), std::back_inserter(inside),
                 [=](unsigned mark) { return mark >= from && mark < to; });
    return inside;
}

size_t FirstNonZero(const std::vector<float>& samples)
{
    size_t n = 0;
    while (n < samples.size() && samples[n] == 0.0f)
        ++n;
    return n;
}

} // namespace

TEST(SoundtrackScore, SectionsStartOnTheSceneBoundariesAndOnTheBeat)
{
    const Score score = Compose();
    ASSERT_EQ(score.sections.size(), sizeof sectionStartsMillis / sizeof sectionStartsMillis[0]);
    for (size_t i = 0; i < score.sections.size(); ++i) {
        const long startSample = static_cast<long>(sectionStartsMillis[i]) * sampleRate / 1000;
        EXPECT_EQ(startSample % samplesPerBeat, 0) << sectionStartsMillis[i] << " ms is not on a beat";
        EXPECT_EQ(SampleToMillis(BeatToSample(score.sections[i].startBeat)), sectionStartsMillis[i]);
        if (i > 0) {
            EXPECT_EQ(score.sections[i].startBeat, score.sections[i - 1].endBeat) << "gap before " << i;
        }
    }
    EXPECT_GE(BeatToSample(score.lengthBeats), 210L * sampleRate);
    EXPECT_GE(score.fadeStartBeat * 500, 185000.0) << "the ending fades after the last scene starts";
    EXPECT_LE(score.fadeEndBeat, score.lengthBeats);
}

TEST(SoundtrackScore, BeatListsSuitTheShow)
{
    const Score score = Compose();
    const std::vector<unsigned> kicks = DrumMarks(score, Drum::Kick), claps = DrumMarks(score, Drum::Clap);
    ASSERT_FALSE(kicks.empty());
    ASSERT_FALSE(claps.empty());
    EXPECT_TRUE(std::is_sorted(kicks.begin(), kicks.end()));
    EXPECT_TRUE(std::is_sorted(claps.begin(), claps.end()));

    // A frame carries one event: marks of both tracks lie far enough apart
    // that each is reported in its own frame, never a clap under a kick.
    std::vector<unsigned> all = kicks;
    all.insert(all.end(), claps.begin(), claps.end());
    std::sort(all.begin(), all.end());
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_GE(all[i] - all[i - 1], 200u) << "marks at " << all[i - 1] << " and " << all[i];

    EXPECT_GE(kicks.front(), 10000u) << "the logo only pulses on the bass from 10 s on";
    // Each clap after 83 s lowers the rising drink for good: only a few.
    const size_t drinkClaps = MarksBetween(claps, 83001, 122000).size();
    EXPECT_GE(drinkClaps, 4u);
    EXPECT_LE(drinkClaps, 8u);
    EXPECT_TRUE(MarksBetween(claps, 80000, 83001).empty());
    // Every scene that answers the beat gets kicks, and claps where it answers them.
    const unsigned starts[] = {0, 37000, 52000, 66000, 80000, 122000, 145000, 185000};
    for (int scene = 0; scene < 7; ++scene) {
        EXPECT_FALSE(MarksBetween(kicks, starts[scene], starts[scene + 1]).empty()) << "scene at " << starts[scene];
        if (scene > 0) {
            EXPECT_FALSE(MarksBetween(claps, starts[scene], starts[scene + 1]).empty()) << "scene at " << starts[scene];
        }
    }
    EXPECT_TRUE(MarksBetween(claps, 150000, 185000).size() >= 5) << "claps re-scatter the boxes";
    EXPECT_LE(all.back(), 185000u) << "the end scene ignores beats";
}

TEST(SoundtrackScore, FinishSortsHitsAndDropsHatsOnDrums)
{
    ScoreBuilder builder;
    builder.Hat(1.25, 0.5f);
    builder.Kick(1.0);
    builder.Hat(1.0, 0.5f);
    builder.Clap(0.5);
    builder.Hat(0.5, 0.5f, true);
    builder.Bass(0.5, 0.25, 33, 1.0f, 0.5f);  // on the clap: dropped
    builder.Bass(1.0, 0.25, 33, 1.0f, 0.5f);  // on the kick: kept
    builder.Pad(0.5, 4, {33, {57, 60, 64}}, 0.5f, 0.5f); // slow attack: kept
    const Score score = builder.Finish(4, 3, 4);
    ASSERT_EQ(score.notes.size(), 4u);
    EXPECT_EQ(score.notes[0].beat, 1.0);
    ASSERT_EQ(score.hits.size(), 3u);
    EXPECT_EQ(score.hits[0].drum, Drum::Clap);
    EXPECT_EQ(score.hits[1].drum, Drum::Kick);
    EXPECT_EQ(score.hits[2].drum, Drum::ClosedHat);
    EXPECT_EQ(score.hits[2].beat, 1.25);
}

TEST(SoundtrackBeatFile, TextIsReadBackByTheRuntime)
{
    EXPECT_EQ(FormatMarkTime(0), "00:00:00.000");
    EXPECT_EQ(FormatMarkTime(3723456), "01:02:03.456");
    EXPECT_EQ(FormatMarkTime(204000), "00:03:24.000");

    const std::vector<unsigned> marks = {10000, 10500, 37000, 185000};
    const std::string text = BeatFileText("bass drum", marks);
    TestSupport::TestData data;
    data.WriteText("data/bass.txt", text);
    Demo::FileSynchronizer channel(1, "data/bass.txt");
    channel.Load();
    ASSERT_EQ(channel.marks.size(), marks.size()) << "four header lines, then one line a mark:\n" << text;
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(channel.marks[i].start, marks[i]);
        EXPECT_EQ(channel.marks[i].end, marks[i] + 50);
    }

    ASSERT_TRUE(WriteBeatFile("data/claps.txt", "claps", marks));
    Demo::FileSynchronizer written(2, "data/claps.txt");
    written.Load();
    ASSERT_EQ(written.marks.size(), marks.size());
    EXPECT_EQ(written.marks.back().start, marks.back());
    EXPECT_FALSE(WriteBeatFile("no-such-folder/claps.txt", "claps", marks));
}

TEST(SoundtrackRender, DrumsStartAtTheirSampleAndTheMasterStaysInRange)
{
    ScoreBuilder kickOnly;
    kickOnly.Kick(1.0);
    const Score kickScore = kickOnly.Finish(4, 3, 4);
    const StereoBus kick = MixScore(kickScore);
    EXPECT_EQ(FirstNonZero(kick.left), static_cast<size_t>(samplesPerBeat));
    EXPECT_EQ(FirstNonZero(kick.right), static_cast<size_t>(samplesPerBeat));

    // The clap changes nothing before its own sample.
    ScoreBuilder kickAndClap;
    kickAndClap.Kick(1.0);
    kickAndClap.Clap(2.0);
    const StereoBus both = MixScore(kickAndClap.Finish(4, 3, 4));
    size_t firstDifference = 0;
    while (firstDifference < both.Frames() && both.left[firstDifference] == kick.left[firstDifference])
        ++firstDifference;
    EXPECT_EQ(firstDifference, static_cast<size_t>(2 * samplesPerBeat));

    // Mastered, the kick still starts at its sample.
    EXPECT_EQ(FirstNonZero(RenderScore(kickScore).left), static_cast<size_t>(samplesPerBeat));

    // Everything at once, loud, still stays under the ceiling.
    ScoreBuilder crowd;
    for (int i = 0; i < 6; ++i) {
        crowd.Kick(13.0 + i * 0.001, 1.0f);
        crowd.Clap(13.0, 1.0f);
        crowd.Bass(13.0, 1.0, 33 + i, 1.0f, 1.0f);
    }
    const StereoBus loud = RenderScore(crowd.Finish(16, 15, 16));
    float peak = 0;
    for (size_t n = 0; n < loud.Frames(); ++n)
        peak = std::max({peak, std::fabs(loud.left[n]), std::fabs(loud.right[n])});
    EXPECT_GT(peak, 0.5f);
    EXPECT_LE(peak, std::pow(10.0f, static_cast<float>(MasterTarget().ceilingDbfs) / 20));
}

TEST(SoundtrackRender, LimiterActsBeforeAPeakAndLeavesTheRestAlone)
{
    // A quiet tone with one loud click: the click is brought down to the
    // ceiling at its own sample, the gain already falls before it (read
    // ahead, not delayed), and the tone far from it keeps every sample.
    const size_t frames = sampleRate, click = sampleRate / 2;
    const long lookAhead = 220, release = 441;
    StereoBus bus(frames);
    for (size_t n = 0; n < frames; ++n)
        bus.left[n] = bus.right[n] = 0.25f * static_cast<float>(std::sin(n * 0.05));
    bus.left[click] = 3.0f;
    const StereoBus original = bus;
    const float ceiling = 0.5f;
    LimitPeaks(bus, ceiling, lookAhead, release);

    size_t loudest = 0;
    for (size_t n = 0; n < frames; ++n) {
        EXPECT_LE(std::fabs(bus.left[n]), ceiling * 1.0001f) << "at " << n;
        if (std::fabs(bus.left[n]) > std::fabs(bus.left[loudest]))
            loudest = n;
    }
    EXPECT_EQ(loudest, click);
    EXPECT_LT(std::fabs(bus.right[click - lookAhead / 2]), std::fabs(original.right[click - lookAhead / 2]));
    for (size_t n = 0; n < click - 2 * lookAhead; ++n)
        ASSERT_EQ(bus.left[n], original.left[n]) << "well before the look-ahead, at " << n;
    for (size_t n = click + 20 * release; n < frames; ++n)
        ASSERT_EQ(bus.right[n], original.right[n]) << "long after the release, at " << n;

    // Silence has no loudness to bring up: it stays silence.
    StereoBus silence(frames);
    Master(silence, sampleRate);
    EXPECT_EQ(silence.left, std::vector<float>(frames, 0.0f));
}

TEST(SoundtrackRender, Pcm16RoundsAndClamps)
{
    StereoBus master(3);
    master.left = {0.5f, 1.5f, -1.5f};
    master.right = {-0.5f, 0.0f, 1.0f};
    EXPECT_EQ(ToPcm16(master), (std::vector<short>{16384, -16384, 32767, 0, -32767, 32767}));
}
