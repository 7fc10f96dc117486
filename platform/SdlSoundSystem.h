#pragma once
// The sound layer on a real audio device: one MP3 stream decoded with
// libmpg123 on SDL's audio thread and played at the mixing rate, stereo,
// 16-bit. The position it reports is the one heard (see PlaybackClock).
#include "platform/Mp3Decoder.h"
#include "platform/PlaybackClock.h"
#include "platform/SoundSystem.h"

#include <cstdint>

namespace Platform {

// Sees every buffer handed to the device, on the audio thread (tests).
class IAudioTap {
public:
    virtual ~IAudioTap() {}
    virtual void Delivered(const int16_t* interleaved, int frames, int64_t firstFrame, int64_t nowNs) = 0;
};

class SdlSoundSystem : public ISoundSystem {
public:
    SdlSoundSystem() = default;
    ~SdlSoundSystem() override;
    SdlSoundSystem(const SdlSoundSystem&) = delete;
    SdlSoundSystem& operator=(const SdlSoundSystem&) = delete;

    bool Init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    // Ignored: the compressed file is held in memory and decoded per callback.
    void SetBufferSize(int ms) override { bufferSizeMs = ms; }
    FSOUND_STREAM* OpenStream(const char* fileName, unsigned mode) override;
    int Play(FSOUND_STREAM* stream, bool startPaused) override;
    bool SetPaused(int channel, bool paused) override;
    bool SetTime(FSOUND_STREAM* stream, int ms) override;
    int GetTime(FSOUND_STREAM* stream) override;
    bool CloseStream(FSOUND_STREAM* stream) override;
    void Close() override;
    int LastError() const override { return error; }

    void SetTap(IAudioTap* tap);
    int LatencyMs() const { return latencyMs; }
    int Rate() const { return rate; }
    // Length of the open stream's audio in frames (0 without one).
    int64_t LengthFrames() const { return decoder ? decoder->LengthFrames() : 0; }

private:
    static void AudioCallback(void* system, unsigned char* stream, int bytes);
    void Fill(int16_t* out, int frames);
    bool Owns(FSOUND_STREAM* stream);
    bool DeviceAlive() const;
    void Pause();

    int error = 0;
    int rate = 44100;
    int bufferSizeMs = 0;
    int latencyMs = 0;
    bool initialised = false;

    // Shared with the audio thread; changed only under SDL's audio lock.
    Mp3Decoder* decoder = nullptr;
    int64_t nextFrame = 0;
    bool playing = false;
    IAudioTap* tap = nullptr;
    PlaybackClock clock;
};

} // namespace Platform
