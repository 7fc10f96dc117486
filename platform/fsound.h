#pragma once
// The small sound-library interface the music clock is written against.
// Each call forwards to the current Platform::ISoundSystem: the real one
// decodes with libmpg123 and plays through SDL audio; tests and offline
// rendering install a scripted one whose position the caller sets.

struct FSOUND_STREAM;

enum FSOUND_OUTPUTTYPES { FSOUND_OUTPUT_NOSOUND = 0, FSOUND_OUTPUT_WINMM = 1 };

enum FMOD_ERRORS {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,
    FMOD_ERR_UNINITIALIZED = 2,
    FMOD_ERR_INIT = 3,
    FMOD_ERR_ALLOCATED = 4,
    FMOD_ERR_PLAY = 5,
    FMOD_ERR_OUTPUT_FORMAT = 6,
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,
    FMOD_ERR_FILE_NOTFOUND = 9,
    FMOD_ERR_FILE_FORMAT = 10,
    FMOD_ERR_FILE_BAD = 11,
    FMOD_ERR_MEMORY = 12,
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14,
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_CHANNEL_ALLOC = 16,
    FMOD_ERR_RECORD = 17,
    FMOD_ERR_MEDIAPLAYER = 18
};

const int FSOUND_FREE = -1;
const unsigned FSOUND_NORMAL = 0x10 | 0x20 | 0x100;   // 16 bits, signed, stereo
const unsigned FSOUND_MPEGACCURATE = 0x20000;

bool FSOUND_SetOutput(int outputType);
bool FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned flags);
int FSOUND_GetError();
bool FSOUND_Stream_SetBufferSize(int ms);
FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned mode, int offset, int length);
int FSOUND_Stream_PlayEx(int channel, FSOUND_STREAM* stream, void* dsp, bool startPaused);
bool FSOUND_SetPaused(int channel, bool paused);
bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms);
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);
bool FSOUND_Stream_Close(FSOUND_STREAM* stream);
void FSOUND_Close();
