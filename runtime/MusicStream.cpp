#include "runtime/MusicStream.h"
#include "platform/DataFolder.h"
#include "platform/fsound.h"

#include <stdexcept>

namespace Demo {

namespace {

[[noreturn]] void ThrowSoundError() { throw std::runtime_error(GetFsoundErrorText(FSOUND_GetError())); }

} // namespace

MusicStream::MusicStream() : data(new MusicStreamData{nullptr, -1})
{
    try {
        FSOUND_SetOutput(FSOUND_OUTPUT_WINMM);
        if (!FSOUND_Init(44100, 32, 0))
            ThrowSoundError();
        FSOUND_Stream_SetBufferSize(1000);
        data->stream =
            FSOUND_Stream_Open(Platform::DataPath("data/sound.mp3").c_str(), FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0, 0);
        if (!data->stream) {
            const int code = FSOUND_GetError();
            // The sound system is up by now; the destructor will not run.
            FSOUND_Close();
            throw std::runtime_error(GetFsoundErrorText(code));
        }
    } catch (...) {
        delete data;
        throw;
    }
}

MusicStream::~MusicStream()
{
    FSOUND_Stream_Close(data->stream);
    FSOUND_Close();
    delete data;
}

void MusicStream::Play()
{
    data->channel = FSOUND_Stream_PlayEx(FSOUND_FREE, data->stream, nullptr, true);
    FSOUND_SetPaused(data->channel, false);
}

void MusicStream::SetTime(int ms) { FSOUND_Stream_SetTime(data->stream, ms); }

unsigned MusicStream::GetTime() { return static_cast<unsigned>(FSOUND_Stream_GetTime(data->stream)); }

const char* GetFsoundErrorText(int code)
{
    switch (code) {
    case 0: return "No errors";
    case 1: return "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.";
    case 2: return "This command failed because FSOUND_Init was not called";
    case 3: return "Error initializing output device.";
    case 4: return "The output device is already in use and cannot be reused.";
    case 5: return "Playing the sound failed.";
    case 6: return "Soundcard does not support the features needed for this soundsystem (16bit stereo output)";
    case 7: return "Error setting cooperative level for hardware.";
    case 8: return "Error creating hardware sound buffer.";
    case 9: return "File not found";
    case 10: return "Unknown file format";
    case 11: return "Error loading file";
    case 12: return "Not enough memory ";
    case 13: return "The version number of this file format is not supported";
    case 14: return "An invalid parameter was passed to this function";
    case 15: return "Tried to use an EAX command on a non EAX enabled channel or output.";
    case 16: return "Failed to allocate a new channel";
    case 17: return "Recording not supported on this device";
    case 18: return "Required Mediaplayer codec is not installed";
    default: return "Unknown error";
    }
}

} // namespace Demo
