#pragma once
// An MP3 file decoded with libmpg123 to interleaved stereo 16-bit samples at
// a fixed rate. The compressed file is held in memory, so decoding (which runs
// on the audio thread) never touches the disk and never allocates.
#include <cstdint>
#include <sys/types.h>
#include <vector>

struct mpg123_handle_struct;

namespace Platform {

class Mp3Decoder {
public:
    Mp3Decoder() = default;
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the file and scans it for an exact seek index. Returns 0, or the
    // sound-library code of the failure: 9 no such file, 11 unreadable, 10 no
    // decodable audio in it (or a format that cannot become `rate` stereo).
    int Open(const char* fileName, int rate);

    // Decodes up to `frames` stereo frames at the current position; returns
    // how many were written (fewer only at the end of the audio).
    int Read(int16_t* interleaved, int frames);

    // Moves to sample frame `frame` (clamped to the length); exact.
    void Seek(int64_t frame);

    int64_t LengthFrames() const { return length; }
    int64_t PositionFrames() const { return position; }

    // mpg123 reads the file through these (memory, not the disk).
    ssize_t ReadBytes(void* into, size_t bytes);
    off_t SeekBytes(off_t offset, int whence);

private:
    int Fail(int code);
    int Start(int rate);
    int ReadFirstFormat();
    int64_t StartTrimDropped();

    mpg123_handle_struct* handle = nullptr;
    std::vector<unsigned char> file;
    size_t fileAt = 0;
    int64_t length = 0;
    int64_t position = 0;
    // Frames at the start of the decoded audio that are encoder delay.
    int64_t startSkip = 0;
    bool atEnd = false;
};

} // namespace Platform
