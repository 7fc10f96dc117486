#include "platform/SoundSystem.h"
#include "runtime/MusicStream.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

using Demo::GetFsoundErrorText;

TEST(SoundErrors, TextsForEveryCode)
{
    EXPECT_STREQ(GetFsoundErrorText(0), "No errors");
    EXPECT_STREQ(GetFsoundErrorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(GetFsoundErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(GetFsoundErrorText(9), "File not found");
    EXPECT_STREQ(GetFsoundErrorText(10), "Unknown file format");
    EXPECT_STREQ(GetFsoundErrorText(12), "Not enough memory ");
    EXPECT_STREQ(GetFsoundErrorText(18), "Required Mediaplayer codec is not installed");
    EXPECT_STREQ(GetFsoundErrorText(-1), "Unknown error");
    EXPECT_STREQ(GetFsoundErrorText(19), "Unknown error");
}

namespace {

class ScriptedMusic : public ::testing::Test {
protected:
    Platform::ScriptedClockScope scope;
    Platform::ScriptedSoundSystem& clock = scope.clock;
};

} // namespace

// Nested scopes, one left by an exception: each puts back what it found, and
// the last one the device backend.
TEST(ScriptedClockScope, PutsBackTheSoundSystemItFoundOnEveryWayOut)
{
    {
        Platform::ScriptedClockScope outer;
        EXPECT_EQ(&Platform::CurrentSoundSystem(), &outer.clock);
        try {
            Platform::ScriptedClockScope inner;
            EXPECT_EQ(&Platform::CurrentSoundSystem(), &inner.clock);
            throw std::runtime_error("a failed load");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(&Platform::CurrentSoundSystem(), &outer.clock);
    }
    EXPECT_EQ(&Platform::CurrentSoundSystem(), &Platform::DeviceSoundSystem());
}

TEST_F(ScriptedMusic, PlaysFromTheSeekPosition)
{
    Demo::MusicStream music;
    EXPECT_FALSE(clock.IsPlaying());
    music.Play();
    EXPECT_TRUE(clock.IsPlaying());
    music.SetTime(60000);
    EXPECT_EQ(music.GetTime(), 60000u);
    clock.SetPosition(60016);
    EXPECT_EQ(music.GetTime(), 60016u);
    music.SetTime(-5);
    EXPECT_EQ(music.GetTime(), 0u);
}

TEST_F(ScriptedMusic, MissingSoundtrackThrowsFileNotFound)
{
    TestSupport::TestData data; // an empty working directory
    clock.RequireFile(true);
    try {
        Demo::MusicStream music;
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
}
