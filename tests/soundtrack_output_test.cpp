// The generated soundtrack as the show hears it: decoded with libmpg123, it
// is long enough, mastered to streaming loudness with room for the peaks
// between samples, and every beat mark of the generated beat files lies on
// its drum's audible onset.
#include "runtime/FileSynchronizer.h"
#include "tests/support/GlTest.h"
#include "tools/soundtrack/Composition.h"
#include "tools/soundtrack/Mp3Encoder.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int rate = 44100;

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<short> samples; // interleaved
    size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

Decoded Decode(const std::string& path)
{
    Decoded decoded;
    mpg123_init();
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return decoded;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        int encoding = 0;
        mpg123_getformat(handle, &decoded.rate, &decoded.channels, &encoding);
        unsigned char buffer[65536];
        size_t done = 0;
        int result;
        do {
            result = mpg123_read(handle, buffer, sizeof buffer, &done);
            const short* first = reinterpret_cast<const short*>(buffer);
            decoded.samples.insert(decoded.samples.end(), first, first + done / sizeof(short));
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return decoded;
}

// Short-time energy of the first difference of the mono mix: sustained low
// notes barely register, while the click of a kick and the noise of a clap
// stand out at the sample where they begin.
class TransientEnergy {
public:
    explicit TransientEnergy(const Decoded& audio) : prefix(audio.Frames() + 1, 0.0)
    {
        double previous = 0;
        for (size_t n = 0; n < audio.Frames(); ++n) {
            const double mono = (audio.samples[2 * n] + audio.samples[2 * n + 1]) / 65536.0;
            prefix[n + 1] = prefix[n] + (mono - previous) * (mono - previous);
            previous = mono;
        }
    }
    // Energy in the 16 samples centred on `n`.
    double At(long n) const
    {
        const long first = std::clamp(n - 8, 0L, Last()), last = std::clamp(n + 8, 0L, Last());
        return prefix[last] - prefix[first];
    }
    double MaxIn(long from, long to) const
    {
        double most = 0;
        for (long n = from; n < to; ++n)
            most = std::max(most, At(n));
        return most;
    }

private:
    long Last() const { return static_cast<long>(prefix.size()) - 1; }
    std::vector<double> prefix;
};

struct Onset {
    double errorMillis; // detected onset minus mark
    double clarity;     // onset peak over the level just before it
};

// Finds the rise nearest a mark: the first point after the quiet stretch
// before the mark where the energy climbs a fifth of the way to its peak.
Onset FindOnset(const TransientEnergy& energy, unsigned markMillis)
{
    const long mark = std::lround(markMillis * (rate / 1000.0));
    const long ms = rate / 1000;
    const long searchFrom = mark - 6 * ms, searchTo = mark + 15 * ms;
    const double before = energy.MaxIn(mark - 40 * ms, searchFrom);
    const double peak = energy.MaxIn(searchFrom, searchTo);
    const double threshold = before + 0.2 * (peak - before);
    long onset = searchTo;
    for (long n = searchFrom; n < searchTo; ++n) {
        if (energy.At(n) > threshold) {
            onset = n;
            break;
        }
    }
    return {(onset - mark) * 1000.0 / rate, before > 0 ? peak / before : 1e9};
}

std::vector<unsigned> ReadMarks(const std::string& path)
{
    Demo::FileSynchronizer channel(1, path.c_str());
    channel.Load();
    std::vector<unsigned> marks;
    for (const Demo::SyncMark& mark : channel.marks)
        marks.push_back(mark.start);
    return marks;
}

void ExpectOnsetsOnMarks(const TransientEnergy& energy, const std::string& track)
{
    const std::vector<unsigned> marks = ReadMarks(TestSupport::BuildDir() + "/data/" + track);
    ASSERT_FALSE(marks.empty()) << track;
    double worst = 0, sum = 0, leastClear = 1e9;
    for (unsigned mark : marks) {
        const Onset onset = FindOnset(energy, mark);
        EXPECT_LE(std::fabs(onset.errorMillis), 2.0) << track << " mark at " << mark << " ms";
        EXPECT_GE(onset.clarity, 3.0) << track << " mark at " << mark << " ms has no clear onset";
        worst = std::max(worst, std::fabs(onset.errorMillis));
        sum += std::fabs(onset.errorMillis);
        leastClear = std::min(leastClear, onset.clarity);
    }
    std::printf("%-10s %3zu marks: onset error max %.2f ms, mean %.3f ms; weakest onset %.1fx the level before\n",
                track.c_str(), marks.size(), worst, sum / marks.size(), leastClear);
}

// Integrated loudness and true peak of a file as an independent meter reads
// them: ffmpeg's ebur128 filter (its summary comes last in its output).
struct LoudnessReading {
    double integratedLufs = NAN;
    double truePeakDbtp = NAN;
};

LoudnessReading MeasureWithFfmpeg(const std::string& path)
{
    LoudnessReading reading;
    const std::string command = "ffmpeg -nostdin -nostats -hide_banner -i '" + path +
                                "' -af ebur128=peak=true:framelog=verbose -f null - 2>&1";
    FILE* output = ::popen(command.c_str(), "r");
    if (!output)
        return reading;
    char line[512];
    bool summary = false;
    while (std::fgets(line, sizeof line, output)) {
        summary = summary || std::strstr(line, "Summary:");
        double value;
        if (summary && std::sscanf(line, " I: %lf LUFS", &value) == 1)
            reading.integratedLufs = value;
        if (summary && std::sscanf(line, " Peak: %lf", &value) == 1)
            reading.truePeakDbtp = value;
    }
    ::pclose(output);
    return reading;
}

} // namespace

TEST(SoundtrackMp3, EncoderKeepsSamplePositionsThroughTheGaplessTag)
{
    // A click at a known sample must decode at that sample: without the tag
    // (or a decoder ignoring it) it would arrive 1105 samples late.
    const size_t frames = rate * 2, click = 30000;
    std::vector<short> pcm(frames * 2, 0);
    for (size_t n = click; n < click + 40; ++n)
        pcm[2 * n] = pcm[2 * n + 1] = static_cast<short>(n % 2 ? 20000 : -20000);
    const std::string path = "/tmp/ruvo_soundtrack_click_" + std::to_string(::getpid()) + ".mp3";
    ASSERT_TRUE(Soundtrack::WriteMp3(path, pcm, rate));
    const Decoded decoded = Decode(path);
    std::remove(path.c_str());

    ASSERT_EQ(decoded.rate, rate);
    ASSERT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.Frames(), frames);
    size_t first = 0;
    while (first < decoded.Frames() && std::abs(decoded.samples[2 * first]) < 4000)
        ++first;
    EXPECT_NEAR(static_cast<double>(first), static_cast<double>(click), 8.0);
}

TEST(SoundtrackMp3, FailedWriteLeavesNoPartialFile)
{
    const std::vector<short> pcm(2000, 0);
    EXPECT_FALSE(Soundtrack::WriteMp3("/nonexistent-folder/sound.mp3", pcm, rate));

    // The finished file cannot be moved onto a folder: the call fails, the
    // folder stays, and no half file is left beside it.
    const std::string folder = "/tmp/ruvo_soundtrack_folder_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_FALSE(Soundtrack::WriteMp3(folder, pcm, rate));
    struct stat info;
    EXPECT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_NE(::stat((folder + ".part").c_str(), &info), 0);
    ::rmdir(folder.c_str());
}

TEST(SoundtrackOutput, BeatFilesHoldTheComposedMarks)
{
    const Soundtrack::Score score = Soundtrack::Compose();
    EXPECT_EQ(ReadMarks(TestSupport::BuildDir() + "/data/bass.txt"), Soundtrack::DrumMarks(score, Soundtrack::Drum::Kick));
    EXPECT_EQ(ReadMarks(TestSupport::BuildDir() + "/data/claps.txt"), Soundtrack::DrumMarks(score, Soundtrack::Drum::Clap));
}

TEST(SoundtrackOutput, PieceIsLongStereoAndFadesOut)
{
    const Decoded audio = Decode(TestSupport::BuildDir() + "/data/sound.mp3");
    ASSERT_EQ(audio.rate, rate);
    ASSERT_EQ(audio.channels, 2);
    EXPECT_GE(audio.Frames(), static_cast<size_t>(210 * rate));

    auto rms = [&audio](double fromSeconds, double toSeconds) {
        double sum = 0;
        const size_t from = static_cast<size_t>(fromSeconds * rate), to = static_cast<size_t>(toSeconds * rate);
        for (size_t i = 2 * from; i < 2 * to; ++i)
            sum += static_cast<double>(audio.samples[i]) * audio.samples[i];
        return std::sqrt(sum / (2.0 * (to - from))) / 32768.0;
    };
    const double peakSection = rms(125, 140);
    EXPECT_GT(peakSection, 0.08) << "the city section should be loud";
    EXPECT_LT(rms(0, 2), peakSection * 0.2) << "the piece fades in";
    EXPECT_LT(rms(195, 200), rms(186, 190)) << "the ending fades";
    EXPECT_LT(rms(207, 210), 0.002) << "silent before the end of the file";
    size_t clipped = 0;
    for (short sample : audio.samples)
        clipped += sample == 32767 || sample == -32768;
    EXPECT_LT(clipped, 100u);
}

TEST(SoundtrackOutput, MasteredToStreamingLoudnessWithRoomBetweenSamples)
{
    // Measured on the MP3 itself: encoding changes the peaks between samples.
    const LoudnessReading reading = MeasureWithFfmpeg(TestSupport::BuildDir() + "/data/sound.mp3");
    ASSERT_FALSE(std::isnan(reading.integratedLufs)) << "no loudness summary from ffmpeg";
    ASSERT_FALSE(std::isnan(reading.truePeakDbtp)) << "no true peak from ffmpeg";
    EXPECT_NEAR(reading.integratedLufs, -14.0, 1.0);
    EXPECT_LE(reading.truePeakDbtp, -1.0) << "decoders would clip between samples";
}

TEST(SoundtrackOutput, EveryMarkLiesOnItsDrumsOnset)
{
    const Decoded audio = Decode(TestSupport::BuildDir() + "/data/sound.mp3");
    ASSERT_EQ(audio.channels, 2);
    const TransientEnergy energy(audio);
    ExpectOnsetsOnMarks(energy, "bass.txt");
    ExpectOnsetsOnMarks(energy, "claps.txt");
}
