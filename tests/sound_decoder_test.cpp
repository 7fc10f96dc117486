// The MP3 decoder behind the device sound layer: failures and their codes,
// gapless length, and seeks that land on the exact sample.
#include "platform/Mp3Decoder.h"
#include "platform/fsound.h"
#include "tests/support/SoundSignal.h"
#include "tests/support/TestData.h"

#include "tools/soundtrack/Mp3Encoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

using Platform::Mp3Decoder;
using TestSupport::FindBurst;
using TestSupport::MakeSoundSignal;
using TestSupport::SoundSignal;

namespace {

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<short> DecodeAll(Mp3Decoder& decoder)
{
    std::vector<short> all(static_cast<size_t>(decoder.LengthFrames() + 4096) * 2);
    int64_t at = 0;
    while (int got = decoder.Read(all.data() + at * 2, 1000))
        at += got;
    all.resize(at * 2);
    return all;
}

// Seeks to each frame and compares what is read there with `reference` from
// that frame on: an exact seek differs by no more than a rounding step.
void ExpectSeeksLandOn(Mp3Decoder& decoder, const std::vector<short>& reference, std::initializer_list<int64_t> frames)
{
    for (int64_t frame : frames) {
        decoder.Seek(frame);
        EXPECT_EQ(frame, decoder.PositionFrames());
        std::vector<int16_t> piece(4096 * 2);
        ASSERT_EQ(4096, decoder.Read(piece.data(), 4096)) << "seek to " << frame;
        int worst = 0;
        for (size_t i = 0; i < piece.size(); ++i)
            worst = std::max(worst, std::abs(piece[i] - reference[frame * 2 + i]));
        EXPECT_LE(worst, 2) << "seek to " << frame;
    }
}

class Mp3DecoderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        signal = MakeSoundSignal(3.0);
        ASSERT_TRUE(Soundtrack::WriteMp3("tone.mp3", signal.pcm, SoundSignal::rate));
    }
    TestSupport::TestData data;
    SoundSignal signal;
};

} // namespace

TEST_F(Mp3DecoderTest, FailuresReportTheirCodes)
{
    Mp3Decoder decoder;
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, decoder.Open("missing.mp3", 44100));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, decoder.Open(nullptr, 44100));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, decoder.Open("tone.mp3/inside.mp3", 44100));

    data.WriteText("empty.mp3", "");
    EXPECT_EQ(FMOD_ERR_FILE_FORMAT, decoder.Open("empty.mp3", 44100));
    data.WriteText("notes.mp3", std::string(5000, 'x') + "\nThis is a text file, not audio.\n");
    EXPECT_EQ(FMOD_ERR_FILE_FORMAT, decoder.Open("notes.mp3", 44100));

    std::vector<char> garbage(64 * 1024);
    unsigned state = 12345;
    for (char& byte : garbage) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    WriteBytes("garbage.mp3", garbage);
    EXPECT_EQ(FMOD_ERR_FILE_FORMAT, decoder.Open("garbage.mp3", 44100));

    // Only the tag frame survives: nothing to play.
    std::vector<char> head = ReadAll("tone.mp3");
    head.resize(300);
    WriteBytes("head.mp3", head);
    EXPECT_EQ(FMOD_ERR_FILE_FORMAT, decoder.Open("head.mp3", 44100));

    mkdir("folder.mp3", 0755);
    EXPECT_EQ(FMOD_ERR_FILE_BAD, decoder.Open("folder.mp3", 44100));

    // A failed open leaves nothing to read, and the decoder can be reused.
    int16_t buffer[64];
    EXPECT_EQ(0, decoder.Read(buffer, 32));
    EXPECT_EQ(FMOD_ERR_NONE, decoder.Open("tone.mp3", 44100));
}

TEST_F(Mp3DecoderTest, DecodesInTimeAndSeeksToTheExactSample)
{
    Mp3Decoder decoder;
    ASSERT_EQ(FMOD_ERR_NONE, decoder.Open("tone.mp3", 44100));
    // No encoder delay or padding: sample n decodes from input sample n.
    EXPECT_EQ(signal.Frames(), decoder.LengthFrames());
    const std::vector<short> whole = DecodeAll(decoder);
    ASSERT_EQ(signal.pcm.size(), whole.size());
    for (int64_t burst : signal.bursts)
        EXPECT_NEAR(burst + 1.0, static_cast<double>(FindBurst(whole.data(), whole.size() / 2, burst - 500)), 3);

    // Backwards, forwards, into the middle of an MP3 frame, and to the start.
    ExpectSeeksLandOn(decoder, whole, {88200, 1, 44100 + 577, 120000, 0});
    decoder.Seek(-100);
    EXPECT_EQ(0, decoder.PositionFrames());
    decoder.Seek(signal.Frames() + 1000);
    int16_t buffer[64];
    EXPECT_EQ(0, decoder.Read(buffer, 32));
}

TEST_F(Mp3DecoderTest, TruncatedFilePlaysWhatItHas)
{
    std::vector<char> bytes = ReadAll("tone.mp3");
    bytes.resize(bytes.size() * 6 / 10);
    WriteBytes("cut.mp3", bytes);
    Mp3Decoder decoder;
    ASSERT_EQ(FMOD_ERR_NONE, decoder.Open("cut.mp3", 44100));
    const double seconds = static_cast<double>(decoder.LengthFrames()) / 44100;
    EXPECT_NEAR(1.8, seconds, 0.15);
    const std::vector<short> decoded = DecodeAll(decoder);
    EXPECT_NEAR(static_cast<double>(decoder.LengthFrames()), static_cast<double>(decoded.size() / 2), 1152);
    // In time with the source from the start, and after a seek.
    EXPECT_NEAR(static_cast<double>(signal.bursts[0] + 1), static_cast<double>(FindBurst(decoded.data(), decoded.size() / 2)), 3);
    decoder.Seek(signal.bursts[2] - 100);
    std::vector<int16_t> piece(1000 * 2);
    ASSERT_EQ(1000, decoder.Read(piece.data(), 1000));
    EXPECT_NEAR(101, static_cast<double>(FindBurst(piece.data(), 1000)), 3);

    // The cut file has lost the trim of its encoder delay that the whole file
    // gets: sample for sample it still decodes, and seeks, as the whole file.
    Mp3Decoder whole;
    ASSERT_EQ(FMOD_ERR_NONE, whole.Open("tone.mp3", 44100));
    const std::vector<short> reference = DecodeAll(whole);
    ExpectSeeksLandOn(decoder, reference, {44100 + 577, 1, 70000, 0});
}
