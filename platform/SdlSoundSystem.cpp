#include "platform/SdlSoundSystem.h"
#include "platform/OutputLatency.h"
#include "platform/fsound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Platform {

namespace {

// A power of two: SDL's audio thread overruns its heap with other sizes.
const int callbackFrames = 1024;
const int channelNumber = 0;

// Holds SDL's audio lock while the device exists, so the callback never sees
// a half-made change. After SDL_Quit there is no audio thread to keep out.
class AudioLock {
public:
    explicit AudioLock(bool active) : active(active)
    {
        if (active)
            SDL_LockAudio();
    }
    ~AudioLock()
    {
        if (active)
            SDL_UnlockAudio();
    }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    const bool active;
};

FSOUND_STREAM* HandleOf(Mp3Decoder* decoder) { return reinterpret_cast<FSOUND_STREAM*>(decoder); }

} // namespace

SdlSoundSystem::~SdlSoundSystem() { Close(); }

bool SdlSoundSystem::DeviceAlive() const
{
    // SDL_Quit (the window's teardown) closes the device behind our back.
    return initialised && SDL_WasInit(SDL_INIT_AUDIO) && SDL_GetAudioStatus() != SDL_AUDIO_STOPPED;
}

bool SdlSoundSystem::Init(int mixRate, int, unsigned)
{
    if (initialised) {
        error = FMOD_ERR_BUSY;
        return false;
    }
    if (mixRate <= 0) {
        error = FMOD_ERR_INVALID_PARAM;
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        error = FMOD_ERR_INIT;
        return false;
    }
    rate = mixRate;
    clock.SetRate(rate);
    clock.Restart(0, false);
    SDL_AudioSpec wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = callbackFrames;
    wanted.callback = AudioCallback;
    wanted.userdata = this;
    // No "obtained" audio format: SDL converts to whatever the device takes.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        error = FMOD_ERR_INIT;
        return false;
    }
    char driver[32] = "";
    SDL_AudioDriverName(driver, sizeof driver);
    latencyMs = OutputLatencyMs(driver, callbackFrames * 1000 / rate, std::getenv("RUVO_AUDIO_LATENCY_MS"));
    clock.SetLatency(static_cast<int64_t>(latencyMs) * rate / 1000);
    initialised = true;
    error = FMOD_ERR_NONE;
    // The device runs from here on; it plays silence until a stream plays.
    SDL_PauseAudio(0);
    return true;
}

FSOUND_STREAM* SdlSoundSystem::OpenStream(const char* fileName, unsigned)
{
    if (!initialised) {
        error = FMOD_ERR_UNINITIALIZED;
        return nullptr;
    }
    if (decoder) {
        // One stream at a time is all the show needs.
        error = FMOD_ERR_INVALID_PARAM;
        return nullptr;
    }
    std::unique_ptr<Mp3Decoder> opened(new Mp3Decoder);
    if (const int code = opened->Open(fileName, rate)) {
        error = code;
        return nullptr;
    }
    {
        AudioLock hold(DeviceAlive());
        decoder = opened.release();
        nextFrame = 0;
        playing = false;
        clock.Restart(0, false);
    }
    error = FMOD_ERR_NONE;
    return HandleOf(decoder);
}

bool SdlSoundSystem::Owns(FSOUND_STREAM* stream)
{
    if (stream && stream == HandleOf(decoder))
        return true;
    error = FMOD_ERR_INVALID_PARAM;
    return false;
}

int SdlSoundSystem::Play(FSOUND_STREAM* stream, bool startPaused)
{
    if (!Owns(stream))
        return -1;
    if (!startPaused && !playing) {
        AudioLock hold(DeviceAlive());
        playing = true;
        clock.Restart(nextFrame, true);
    } else if (startPaused && playing) {
        Pause();
    }
    return channelNumber;
}

void SdlSoundSystem::Pause()
{
    // Resume from what was heard, not from what was already decoded ahead.
    const int64_t heard = static_cast<int64_t>(clock.Read(PlaybackClock::NowNs()));
    AudioLock hold(DeviceAlive());
    playing = false;
    decoder->Seek(heard);
    nextFrame = heard;
    clock.Restart(heard, false);
}

bool SdlSoundSystem::SetPaused(int channel, bool paused)
{
    if (channel != channelNumber || !decoder) {
        error = FMOD_ERR_INVALID_PARAM;
        return false;
    }
    Play(HandleOf(decoder), paused);
    return true;
}

bool SdlSoundSystem::SetTime(FSOUND_STREAM* stream, int ms)
{
    if (!Owns(stream))
        return false;
    const int64_t frame = static_cast<int64_t>(std::max(ms, 0)) * rate / 1000;
    AudioLock hold(DeviceAlive());
    // Past the end the decoder stays silent while the position runs on.
    decoder->Seek(frame);
    nextFrame = frame;
    clock.Restart(frame, playing);
    return true;
}

int SdlSoundSystem::GetTime(FSOUND_STREAM* stream)
{
    if (!Owns(stream))
        return 0;
    // To the nearest ms, so that a seek to a whole ms reads back as that ms.
    const double frames = clock.Read(PlaybackClock::NowNs());
    return static_cast<int>(std::floor(frames * 1000 / rate + 0.5));
}

bool SdlSoundSystem::CloseStream(FSOUND_STREAM* stream)
{
    if (!Owns(stream))
        return false;
    Mp3Decoder* closing = decoder;
    {
        AudioLock hold(DeviceAlive());
        decoder = nullptr;
        playing = false;
        clock.Restart(0, false);
    }
    delete closing;
    return true;
}

void SdlSoundSystem::Close()
{
    if (!initialised)
        return;
    if (decoder)
        CloseStream(HandleOf(decoder));
    if (DeviceAlive()) {
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    initialised = false;
}

void SdlSoundSystem::SetTap(IAudioTap* newTap)
{
    AudioLock hold(DeviceAlive());
    tap = newTap;
}

void SdlSoundSystem::AudioCallback(void* system, unsigned char* stream, int bytes)
{
    static_cast<SdlSoundSystem*>(system)->Fill(reinterpret_cast<int16_t*>(stream), bytes / (2 * sizeof(int16_t)));
}

// Audio thread, SDL's audio lock held. Allocates nothing.
void SdlSoundSystem::Fill(int16_t* out, int frames)
{
    const int64_t now = PlaybackClock::NowNs();
    if (!decoder || !playing) {
        std::memset(out, 0, frames * 2 * sizeof(int16_t));
        return;
    }
    const int64_t first = nextFrame;
    const int decoded = decoder->Read(out, frames);
    std::memset(out + 2 * decoded, 0, (frames - decoded) * 2 * sizeof(int16_t));
    nextFrame += frames;
    clock.Delivered(first, frames, now);
    if (tap)
        tap->Delivered(out, frames, first, now);
}

} // namespace Platform
