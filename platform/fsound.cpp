#include "platform/fsound.h"
#include "platform/SoundSystem.h"

namespace Platform {

namespace {
ISoundSystem* current = nullptr;
}

void UseSoundSystem(ISoundSystem* system) { current = system; }

ISoundSystem& CurrentSoundSystem() { return current ? *current : DeviceSoundSystem(); }

} // namespace Platform

using Platform::CurrentSoundSystem;

bool FSOUND_SetOutput(int) { return true; }

bool FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned flags)
{
    return CurrentSoundSystem().Init(mixRate, maxSoftwareChannels, flags);
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
