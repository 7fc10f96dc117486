#include "platform/fsound.h"
#include "platform/SoundSystem.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace Platform {

namespace {
ISoundSystem* current = nullptr;
}

void UseSoundSystem(ISoundSystem* system) { current = system; }

ISoundSystem& CurrentSoundSystem() { return current ? *current : DeviceSoundSystem(); }

namespace {

// The run ends on this error, but a machine without a sound card (or whose
// sound server is down) can still show the picture: SDL's dummy driver
// stands in for the device. Only the device backend says so; a scripted one
// has no driver to choose.
void SuggestSilentPlay()
{
    if (current || CurrentSoundSystem().LastError() != FMOD_ERR_INIT)
        return;
    // SDL names the cause for some failures (a mistyped driver) and not others.
    const std::string reason = SDL_GetError();
    std::fprintf(stderr, "No sound output could be opened%s; to play without sound, run with SDL_AUDIODRIVER=dummy\n",
                 reason.empty() ? "" : (" (" + reason + ")").c_str());
}

} // namespace

} // namespace Platform

using Platform::CurrentSoundSystem;

bool FSOUND_SetOutput(int) { return true; }

bool FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned flags)
{
    const bool started = CurrentSoundSystem().Init(mixRate, maxSoftwareChannels, flags);
    if (!started)
        Platform::SuggestSilentPlay();
    return started;
}

int FSOUND_GetError() { return CurrentSoundSystem().LastError(); }

bool FSOUND_Stream_SetBufferSize(int ms)
{
    CurrentSoundSystem().SetBufferSize(ms);
    return true;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned mode, int, int)
{
    return CurrentSoundSystem().OpenStream(nameOrData, mode);
}

int FSOUND_Stream_PlayEx(int, FSOUND_STREAM* stream, void*, bool startPaused)
{
    return CurrentSoundSystem().Play(stream, startPaused);
}

bool FSOUND_SetPaused(int channel, bool paused) { return CurrentSoundSystem().SetPaused(channel, paused); }

bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms) { return CurrentSoundSystem().SetTime(stream, ms); }

int FSOUND_Stream_GetTime(FSOUND_STREAM* stream) { return CurrentSoundSystem().GetTime(stream); }

bool FSOUND_Stream_Close(FSOUND_STREAM* stream) { return CurrentSoundSystem().CloseStream(stream); }

void FSOUND_Close() { CurrentSoundSystem().Close(); }
