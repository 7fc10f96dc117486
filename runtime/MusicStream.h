#pragma once

struct FSOUND_STREAM;

namespace Demo {

struct MusicStreamData {
    FSOUND_STREAM* stream;
    int channel;
};

// The soundtrack, and with it the only clock of the show.
class MusicStream {
public:
    // Opens the sound system and "data/sound.mp3", not yet playing.
    MusicStream();
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    void Play();
    void SetTime(int ms);
    // The play position in ms of what is heard now.
    unsigned GetTime();

private:
    MusicStreamData* data;
};

// The message for a sound-library error code.
const char* GetFsoundErrorText(int code);

} // namespace Demo
