#pragma once
// The backend behind the FSOUND_* calls. Exactly one is current at a time.

struct FSOUND_STREAM;

namespace Platform {

class ISoundSystem {
public:
    virtual ~ISoundSystem() {}
    virtual bool Init(int mixRate, int maxSoftwareChannels, unsigned flags) = 0;
    virtual void SetBufferSize(int ms) = 0;
    // Returns null and records an error code on failure.
    virtual FSOUND_STREAM* OpenStream(const char* fileName, unsigned mode) = 0;
    // Returns the channel the stream plays on, or -1.
    virtual int Play(FSOUND_STREAM* stream, bool startPaused) = 0;
    virtual bool SetPaused(int channel, bool paused) = 0;
    virtual bool SetTime(FSOUND_STREAM* stream, int ms) = 0;
    virtual int GetTime(FSOUND_STREAM* stream) = 0;
    virtual bool CloseStream(FSOUND_STREAM* stream) = 0;
    virtual void Close() = 0;
    virtual int LastError() const = 0;
};

// The MP3 player on SDL audio; the default backend.
ISoundSystem& DeviceSoundSystem();

// Installs a backend for the FSOUND_* calls (null restores the device one).
void UseSoundSystem(ISoundSystem* system);
ISoundSystem& CurrentSoundSystem();

// A backend whose play position is whatever the caller last set: the clock of
// tests and of frame-by-frame rendering. It opens no device and reads no file
// unless told to insist on one.
class ScriptedSoundSystem : public ISoundSystem {
public:
    bool Init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    void SetBufferSize(int) override {}
    FSOUND_STREAM* OpenStream(const char* fileName, unsigned mode) override;
    int Play(FSOUND_STREAM* stream, bool startPaused) override;
    bool SetPaused(int channel, bool paused) override;
    bool SetTime(FSOUND_STREAM* stream, int ms) override;
    int GetTime(FSOUND_STREAM* stream) override;
    bool CloseStream(FSOUND_STREAM* stream) override;
    void Close() override;
    int LastError() const override { return error; }

    // The clock a scripted run reads.
    void SetPosition(unsigned ms) { position = ms; }
    unsigned Position() const { return position; }
    // When set, OpenStream fails like a missing file unless the file exists.
    void RequireFile(bool require) { requireFile = require; }
    bool IsPlaying() const { return playing; }

private:
    unsigned position = 0;
    int error = 0;
    bool requireFile = false;
    bool initialised = false;
    bool open = false;
    bool playing = false;
};

// Makes `clock` the backend for the life of the scope and puts back the one
// that was current before on every way out, exceptions included, so that a
// failed test or render never leaves later code on a clock nobody advances.
class ScriptedClockScope {
public:
    ScriptedClockScope() : previous(&CurrentSoundSystem()) { UseSoundSystem(&clock); }
    ~ScriptedClockScope() { UseSoundSystem(previous); }
    ScriptedClockScope(const ScriptedClockScope&) = delete;
    ScriptedClockScope& operator=(const ScriptedClockScope&) = delete;

    ScriptedSoundSystem clock;

private:
    ISoundSystem* previous;
};

} // namespace Platform
