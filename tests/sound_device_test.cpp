// The sound layer on SDL's dummy audio driver: what the device is handed,
// and the clock read against it.
#include "platform/Mp3Decoder.h"
#include "platform/SdlSoundSystem.h"
#include "platform/fsound.h"
#include "runtime/MusicStream.h"
#include "tests/support/SoundSignal.h"
#include "tests/support/TestData.h"

#include "tools/soundtrack/Mp3Encoder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <vector>

using Platform::PlaybackClock;
using Platform::SdlSoundSystem;
using TestSupport::FindBurst;
using TestSupport::MakeSoundSignal;
using TestSupport::SoundSignal;

namespace {

const int rate = 44100;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits until `condition` holds, for at most a bound far beyond what any
// wait takes on a loaded machine; returns whether it held. Expectations are
// set on what the device was handed, never on how long a sleep lasted.
template <class Condition> bool WaitFor(Condition condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        SleepMs(1);
    }
    return true;
}

int64_t FrameOf(int ms) { return static_cast<int64_t>(ms) * rate / 1000; }

// Keeps a copy of every buffer handed to the device, in room set aside up front.
class RecordingTap : public Platform::IAudioTap {
public:
    struct Buffer {
        int64_t first;
        int frames;
        int64_t nowNs;
        size_t at;
    };

    RecordingTap() : samples(capacityFrames * 2) { buffers.reserve(1024); }

    void Delivered(const int16_t* interleaved, int frames, int64_t firstFrame, int64_t nowNs) override
    {
        std::lock_guard<std::mutex> hold(lock);
        if (buffers.size() == buffers.capacity() || used + frames > capacityFrames)
            return;
        buffers.push_back({firstFrame, frames, nowNs, used});
        std::memcpy(&samples[used * 2], interleaved, frames * 2 * sizeof(int16_t));
        used += frames;
    }

    // Where the audio handed over so far ends, in ms of the stream (0 if
    // none yet).
    int DeliveredEndMs()
    {
        std::lock_guard<std::mutex> hold(lock);
        if (buffers.empty())
            return 0;
        return static_cast<int>((buffers.back().first + buffers.back().frames) * 1000 / rate);
    }

    std::vector<Buffer> Buffers()
    {
        std::lock_guard<std::mutex> hold(lock);
        return buffers;
    }

    // `count` frames of what was delivered from stream frame `frame` on, in
    // one run of consecutive buffers (the last such run); empty if none.
    std::vector<int16_t> AudioFrom(int64_t frame, int count)
    {
        std::lock_guard<std::mutex> hold(lock);
        for (size_t i = buffers.size(); i-- > 0;) {
            if (buffers[i].first != frame)
                continue;
            std::vector<int16_t> audio;
            for (size_t j = i; j < buffers.size() && static_cast<int>(audio.size() / 2) < count; ++j) {
                if (buffers[j].first != frame + static_cast<int64_t>(audio.size() / 2))
                    break;
                audio.insert(audio.end(), &samples[buffers[j].at * 2], &samples[(buffers[j].at + buffers[j].frames) * 2]);
            }
            if (static_cast<int>(audio.size() / 2) >= count) {
                audio.resize(count * 2);
                return audio;
            }
        }
        return {};
    }

private:
    static const size_t capacityFrames = 6 * rate;
    std::mutex lock;
    std::vector<Buffer> buffers;
    std::vector<int16_t> samples;
    size_t used = 0;
};

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("RUVO_AUDIO_LATENCY_MS");
        signal = MakeSoundSignal(3.0);
        mkdir("data", 0755);
        ASSERT_TRUE(Soundtrack::WriteMp3("data/sound.mp3", signal.pcm, rate));
        ASSERT_TRUE(sound.Init(44100, 32, 0)) << sound.LastError();
        stream = sound.OpenStream("data/sound.mp3", FSOUND_NORMAL | FSOUND_MPEGACCURATE);
        ASSERT_NE(nullptr, stream) << sound.LastError();
        sound.SetTap(&tap);
    }
    void TearDown() override { sound.Close(); }

    // The decoder's own output at `frame`, to compare with what was delivered.
    std::vector<int16_t> Reference(int64_t frame, int count)
    {
        Platform::Mp3Decoder decoder;
        EXPECT_EQ(0, decoder.Open("data/sound.mp3", rate));
        decoder.Seek(frame);
        std::vector<int16_t> audio(count * 2, 0);
        decoder.Read(audio.data(), count);
        return audio;
    }

    TestSupport::TestData data;
    SoundSignal signal;
    SdlSoundSystem sound;
    RecordingTap tap;
    FSOUND_STREAM* stream = nullptr;
};

int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    int worst = a.size() == b.size() ? 0 : 99999;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

} // namespace

TEST_F(SdlSoundTest, ClockIsSmoothAndFollowsTheAudioConsumed)
{
    EXPECT_EQ(0, sound.LatencyMs());
    ASSERT_EQ(0, sound.Play(stream, true));
    SleepMs(60);
    EXPECT_EQ(0, sound.GetTime(stream)) << "paused at the start";
    EXPECT_TRUE(tap.Buffers().empty()) << "nothing handed over while paused";
    ASSERT_TRUE(sound.SetPaused(0, false));
    ASSERT_TRUE(sound.SetTime(stream, 1000));

    struct Reading {
        int64_t ns;
        int ms;
    };
    std::vector<Reading> readings;
    readings.reserve(2000);
    for (int i = 0; i < 1500; ++i) {
        const int64_t before = PlaybackClock::NowNs();
        const int ms = sound.GetTime(stream);
        readings.push_back({(before + PlaybackClock::NowNs()) / 2, ms});
        SleepMs(1);
    }
    EXPECT_GE(readings.front().ms, 1000);
    EXPECT_LE(readings.front().ms, 1003);

    const std::vector<RecordingTap::Buffer> buffers = tap.Buffers();
    ASSERT_GT(buffers.size(), 40u);
    double worstStep = 0, worstStepAt1ms = 0, worstError = 0, errorSum = 0;
    int backwards = 0, tooLarge = 0;
    size_t next = 0;
    for (size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) {
            const int step = readings[i].ms - readings[i - 1].ms;
            const double interval = (readings[i].ns - readings[i - 1].ns) * 1e-6;
            worstStep = std::max<double>(worstStep, step);
            if (interval <= 1.2)
                worstStepAt1ms = std::max<double>(worstStepAt1ms, step);
            backwards += step < 0;
            // Whole milliseconds: one more for the rounding of each reading.
            tooLarge += step > 2 * interval + 1;
        }
        // The device consumes the last buffer it was given, at the sample rate.
        while (next < buffers.size() && buffers[next].nowNs <= readings[i].ns)
            ++next;
        double consumedMs = 1000;
        if (next > 0) {
            const RecordingTap::Buffer& last = buffers[next - 1];
            const double played = std::min<double>((readings[i].ns - last.nowNs) * 1e-9 * rate, last.frames);
            consumedMs = (last.first + played) * 1000.0 / rate;
        }
        const double error = readings[i].ms - consumedMs;
        worstError = std::max(worstError, std::fabs(error));
        errorSum += std::fabs(error);
    }
    EXPECT_EQ(0, backwards);
    EXPECT_EQ(0, tooLarge);
    EXPECT_LE(worstError, 5.0);
    std::printf("clock over %zu reads ~1 ms apart: largest step %.0f ms (%.0f ms between reads at most 1.2 ms apart), "
                "error against consumed audio mean %.2f ms, max %.2f ms (readings are whole ms)\n",
                readings.size(), worstStep, worstStepAt1ms, errorSum / readings.size(), worstError);
}

TEST_F(SdlSoundTest, AfterASeekTheDeviceGetsTheAudioOfThatPosition)
{
    ASSERT_EQ(0, sound.Play(stream, false));
    // Forwards, backwards, to the start, and just before a burst.
    const int64_t burst = signal.bursts[5];
    const int positions[] = {1234, 2100, 0, 500, static_cast<int>(burst * 1000 / rate) - 10};
    for (int ms : positions) {
        ASSERT_TRUE(sound.SetTime(stream, ms));
        const int reading = sound.GetTime(stream);
        EXPECT_GE(reading, ms);
        EXPECT_LE(reading, ms + 5);
        ASSERT_TRUE(WaitFor([&] { return !tap.AudioFrom(FrameOf(ms), 2048).empty(); }))
            << "nothing delivered from " << ms << " ms";
        const std::vector<int16_t> heard = tap.AudioFrom(FrameOf(ms), 2048);
        ASSERT_FALSE(heard.empty()) << "nothing delivered from " << ms << " ms";
        EXPECT_LE(MaxDifference(Reference(FrameOf(ms), 2048), heard), 2) << ms;
        const int64_t found = FindBurst(heard.data(), 2048);
        if (ms == positions[4]) {
            EXPECT_NEAR(static_cast<double>(burst + 1 - FrameOf(ms)), static_cast<double>(found), 3);
        }
    }
}

TEST_F(SdlSoundTest, PastTheEndTheClockRunsOnOverSilence)
{
    ASSERT_EQ(0, sound.Play(stream, false));
    ASSERT_TRUE(sound.SetTime(stream, 2900));
    // The clock passes the end of the 3 s stream and runs on, never ahead of
    // the audio (silence now) the device has been handed.
    int afterEnd = 0;
    ASSERT_TRUE(WaitFor([&] { return (afterEnd = sound.GetTime(stream)) > 3100; })) << afterEnd;
    EXPECT_LE(afterEnd, tap.DeliveredEndMs() + 1);
    int later = 0;
    ASSERT_TRUE(WaitFor([&] { return (later = sound.GetTime(stream)) > afterEnd + 50; })) << later;
    EXPECT_LE(later, tap.DeliveredEndMs() + 1);
    ASSERT_TRUE(WaitFor([&] { return !tap.AudioFrom(FrameOf(2900), static_cast<int>(FrameOf(300))).empty(); }));
    const int64_t length = sound.LengthFrames();
    EXPECT_EQ(signal.Frames(), length);
    const std::vector<int16_t> tail = tap.AudioFrom(FrameOf(2900), static_cast<int>(FrameOf(300)));
    ASSERT_FALSE(tail.empty());
    const int64_t endOffset = length - FrameOf(2900);
    EXPECT_TRUE(std::all_of(tail.begin() + endOffset * 2, tail.end(), [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::any_of(tail.begin(), tail.begin() + endOffset * 2, [](int16_t s) { return s != 0; }));

    // A seek far past the end runs on from there; a negative one goes to 0.
    ASSERT_TRUE(sound.SetTime(stream, 60000));
    const int seekReading = sound.GetTime(stream);
    EXPECT_GE(seekReading, 60000);
    EXPECT_LE(seekReading, 60005);
    int runOn = 0;
    ASSERT_TRUE(WaitFor([&] { return (runOn = sound.GetTime(stream)) >= 60100; })) << runOn;
    // Where the device was handed audio from, and no further than that.
    EXPECT_LE(runOn, tap.DeliveredEndMs() + 1);
    EXPECT_GE(tap.DeliveredEndMs(), 60100);
    ASSERT_TRUE(sound.SetTime(stream, -500));
    EXPECT_LE(sound.GetTime(stream), 5);
    ASSERT_TRUE(WaitFor([&] { return !tap.AudioFrom(0, 1024).empty(); }));
    EXPECT_LE(MaxDifference(Reference(0, 1024), tap.AudioFrom(0, 1024)), 2);
}

TEST_F(SdlSoundTest, PauseHoldsTheClockAndResumesWhereItWasHeard)
{
    ASSERT_EQ(0, sound.Play(stream, false));
    ASSERT_TRUE(sound.SetTime(stream, 500));
    ASSERT_TRUE(WaitFor([&] { return sound.GetTime(stream) >= 600; }));
    ASSERT_TRUE(sound.SetPaused(0, true));
    const int held = sound.GetTime(stream);
    EXPECT_GE(held, 600);
    EXPECT_LE(held, tap.DeliveredEndMs() + 1);
    // However long the pause, the clock holds (a sleep that overruns only
    // tests it longer).
    SleepMs(100);
    EXPECT_EQ(held, sound.GetTime(stream));
    const size_t beforeResume = tap.Buffers().size();
    ASSERT_TRUE(sound.SetPaused(0, false));
    ASSERT_TRUE(WaitFor([&] { return tap.Buffers().size() > beforeResume; }));
    const std::vector<RecordingTap::Buffer> buffers = tap.Buffers();
    // The first buffer after the pause starts where the listener stopped.
    EXPECT_NEAR(static_cast<double>(FrameOf(held)), static_cast<double>(buffers[beforeResume].first), rate / 2000 + 1);
    EXPECT_TRUE(WaitFor([&] { return sound.GetTime(stream) > held + 40; }));
}

TEST_F(SdlSoundTest, CallsOnNoStreamOrASecondOneFail)
{
    EXPECT_EQ(nullptr, sound.OpenStream("data/sound.mp3", 0)) << "one stream at a time";
    EXPECT_FALSE(sound.Init(44100, 32, 0));
    EXPECT_EQ(FMOD_ERR_BUSY, sound.LastError());
    EXPECT_EQ(-1, sound.Play(reinterpret_cast<FSOUND_STREAM*>(&data), false));
    EXPECT_EQ(0, sound.GetTime(nullptr));
    EXPECT_FALSE(sound.SetPaused(7, false));
    ASSERT_TRUE(sound.CloseStream(stream));
    EXPECT_FALSE(sound.CloseStream(stream)) << "closed twice";
    EXPECT_EQ(nullptr, sound.OpenStream("data/missing.mp3", 0));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, sound.LastError());
    SdlSoundSystem second;
    EXPECT_EQ(nullptr, second.OpenStream("data/sound.mp3", 0));
    EXPECT_EQ(FMOD_ERR_UNINITIALIZED, second.LastError());
}

TEST(SdlSound, MissingDriverIsAnOutputDeviceError)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    SdlSoundSystem sound;
    EXPECT_FALSE(sound.Init(44100, 32, 0));
    EXPECT_EQ(FMOD_ERR_INIT, sound.LastError());
    sound.Close();
    // The show's own path reports it with the library's text.
    try {
        Demo::MusicStream music;
        FAIL() << "opened without a driver";
    } catch (const std::exception& error) {
        EXPECT_STREQ("Error initializing output device.", error.what());
    }
    // A driver that exists works afterwards.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(sound.Init(44100, 32, 0));
    sound.Close();
}

TEST(SdlSound, ShowClockOpensPlaysAndClosesAfterSdlQuit)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("RUVO_AUDIO_LATENCY_MS");
    TestSupport::TestData data;
    try {
        Demo::MusicStream music;
        FAIL() << "opened a missing file";
    } catch (const std::exception& error) {
        EXPECT_STREQ("File not found", error.what());
    }
    mkdir("data", 0755);
    ASSERT_TRUE(Soundtrack::WriteMp3("data/sound.mp3", MakeSoundSignal(2.0).pcm, rate));
    {
        Demo::MusicStream music;
        // The window comes up after the sound and shuts all of SDL down
        // before the music is closed.
        ASSERT_EQ(0, SDL_Init(SDL_INIT_TIMER));
        music.Play();
        music.SetTime(1500);
        const unsigned start = music.GetTime();
        EXPECT_GE(start, 1500u);
        EXPECT_LE(start, 1505u);
        EXPECT_TRUE(WaitFor([&] { return music.GetTime() >= 1600u; })) << "the clock does not run";
        SDL_Quit();
        EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO));
    }
    // Closing again, and with no stream, is harmless; the device reopens.
    Platform::ISoundSystem& device = Platform::DeviceSoundSystem();
    device.Close();
    ASSERT_TRUE(device.Init(44100, 32, 0));
    device.Close();
    device.Close();
}
