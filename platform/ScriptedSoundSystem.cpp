#include "platform/SoundSystem.h"
#include "platform/fsound.h"

#include <cstdio>

namespace Platform {

namespace {
// Any non-null handle will do; the scripted system has one stream.
FSOUND_STREAM* const scriptedStream = reinterpret_cast<FSOUND_STREAM*>(0x5c21);
}

bool ScriptedSoundSystem::Init(int, int, unsigned)
{
    initialised = true;
    error = FMOD_ERR_NONE;
    return true;
}

FSOUND_STREAM* ScriptedSoundSystem::OpenStream(const char* fileName, unsigned)
{
    if (!initialised) {
        error = FMOD_ERR_UNINITIALIZED;
        return nullptr;
    }
    if (requireFile) {
        FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
        if (!file) {
            error = FMOD_ERR_FILE_NOTFOUND;
            return nullptr;
        }
        std::fclose(file);
    }
    open = true;
    return scriptedStream;
}

int ScriptedSoundSystem::Play(FSOUND_STREAM* stream, bool startPaused)
{
    if (stream != scriptedStream || !open)
        return -1;
    playing = !startPaused;
    return 0;
}

bool ScriptedSoundSystem::SetPaused(int channel, bool paused)
{
    if (channel != 0)
        return false;
    playing = !paused;
    return true;
}

bool ScriptedSoundSystem::SetTime(FSOUND_STREAM* stream, int ms)
{
    if (stream != scriptedStream)
        return false;
    position = ms < 0 ? 0u : static_cast<unsigned>(ms);
    return true;
}

int ScriptedSoundSystem::GetTime(FSOUND_STREAM* stream)
{
    return stream == scriptedStream ? static_cast<int>(position) : 0;
}

bool ScriptedSoundSystem::CloseStream(FSOUND_STREAM* stream)
{
    if (stream != scriptedStream)
        return false;
    open = playing = false;
    return true;
}

void ScriptedSoundSystem::Close() { initialised = false; }

} // namespace Platform
