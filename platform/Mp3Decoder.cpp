#include "platform/Mp3Decoder.h"
#include "platform/fsound.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace Platform {

namespace {

const int bytesPerFrame = 2 * sizeof(int16_t);

ssize_t ReadThunk(void* decoder, void* into, size_t bytes)
{
    return static_cast<Mp3Decoder*>(decoder)->ReadBytes(into, bytes);
}

off_t SeekThunk(void* decoder, off_t offset, int whence)
{
    return static_cast<Mp3Decoder*>(decoder)->SeekBytes(offset, whence);
}

// Reads the whole file; returns 0 or the sound-library code of the failure.
int Slurp(const char* fileName, std::vector<unsigned char>& into)
{
    FILE* in = fileName ? std::fopen(fileName, "rb") : nullptr;
    if (!in)
        return (!fileName || errno == ENOENT || errno == ENOTDIR) ? FMOD_ERR_FILE_NOTFOUND : FMOD_ERR_FILE_BAD;
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        into.insert(into.end(), chunk, chunk + got);
    // A directory opens but does not read.
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    return failed ? FMOD_ERR_FILE_BAD : FMOD_ERR_NONE;
}

} // namespace

Mp3Decoder::~Mp3Decoder()
{
    if (handle)
        mpg123_delete(handle);
}

int Mp3Decoder::Fail(int code)
{
    if (handle)
        mpg123_delete(handle);
    handle = nullptr;
    file.clear();
    length = position = startSkip = 0;
    atEnd = true;
    return code;
}

int Mp3Decoder::Open(const char* fileName, int rate)
{
    if (handle)
        Fail(FMOD_ERR_NONE);
    if (const int code = Slurp(fileName, file))
        return Fail(code);
    if (file.empty())
        return Fail(FMOD_ERR_FILE_FORMAT);

    if (const int code = Start(rate))
        return Fail(code);
    // mpg123 drops the whole gapless trim, start included, when the file is
    // shorter than its tag says (a cut-off download): the audio would come
    // 25 ms late against the beat marks. Skip the encoder's delay here then.
    startSkip = StartTrimDropped();
    length -= startSkip;
    if (length <= 0)
        return Fail(FMOD_ERR_FILE_FORMAT);
    Seek(0);
    return FMOD_ERR_NONE;
}

int Mp3Decoder::Start(int rate)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = MPG123_OK;
    handle = mpg123_new(nullptr, &error);
    if (!handle)
        return FMOD_ERR_MEMORY;
    // Garbage files would otherwise fill stderr with resync complaints.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle);
    if (mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
        return FMOD_ERR_FILE_FORMAT;
    fileAt = 0;
    atEnd = false;
    if (mpg123_replace_reader_handle(handle, ReadThunk, SeekThunk, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle, this) != MPG123_OK)
        return FMOD_ERR_FILE_FORMAT;
    // The index makes every later seek exact, and gives the true length.
    if (mpg123_scan(handle) != MPG123_OK)
        return FMOD_ERR_FILE_FORMAT;
    if (const int code = ReadFirstFormat())
        return code;
    length = mpg123_length(handle);
    return length > 0 ? FMOD_ERR_NONE : FMOD_ERR_FILE_FORMAT;
}

int64_t Mp3Decoder::StartTrimDropped()
{
    // What mpg123 itself trims: the encoder's delay plus its own 529 samples.
    const long decoderDelay = 529;
    long delay = -1;
    if (mpg123_getstate(handle, MPG123_ENC_DELAY, &delay, nullptr) != MPG123_OK || delay < 0)
        return 0;
    mpg123_frameinfo2 info;
    if (mpg123_info(handle, &info) != MPG123_OK || info.rate <= 0)
        return 0;
    const long perFrame = info.layer == 1 ? 384 : (info.layer == 3 && info.version != MPG123_1_0) ? 576 : 1152;
    long outRate = 0;
    int channels = 0, encoding = 0;
    mpg123_getformat(handle, &outRate, &channels, &encoding);
    const double untrimmed = static_cast<double>(mpg123_framelength(handle)) * perFrame * outRate / info.rate;
    if (static_cast<double>(length) < untrimmed - 1)
        return 0;
    return static_cast<int64_t>(delay + decoderDelay) * outRate / info.rate;
}

// The first read only reports the output format; audio comes after it. A file
// counts as MP3 once the format is the one asked for and some audio decodes.
int Mp3Decoder::ReadFirstFormat()
{
    unsigned char scratch[4608];
    bool formatSeen = false;
    for (int tries = 0; tries < 64; ++tries) {
        size_t done = 0;
        const int result = mpg123_read(handle, scratch, sizeof scratch, &done);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            if (channels != MPG123_STEREO || encoding != MPG123_ENC_SIGNED_16)
                return FMOD_ERR_FILE_FORMAT;
            formatSeen = true;
        } else if (result != MPG123_OK) {
            return FMOD_ERR_FILE_FORMAT;
        }
        if (formatSeen && done > 0)
            return FMOD_ERR_NONE;
    }
    return FMOD_ERR_FILE_FORMAT;
}

int Mp3Decoder::Read(int16_t* interleaved, int frames)
{
    if (!handle || atEnd || frames <= 0)
        return 0;
    unsigned char* out = reinterpret_cast<unsigned char*>(interleaved);
    const size_t wanted = static_cast<size_t>(frames) * bytesPerFrame;
    size_t got = 0;
    for (int tries = 0; got < wanted && tries < 64; ++tries) {
        size_t done = 0;
        const int result = mpg123_read(handle, out + got, wanted - got, &done);
        got += done;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            // The end, or damage past which nothing decodes: silence from here.
            atEnd = true;
            break;
        }
    }
    const int written = static_cast<int>(got / bytesPerFrame);
    position += written;
    return written;
}

void Mp3Decoder::Seek(int64_t frame)
{
    if (!handle)
        return;
    frame = std::max<int64_t>(0, frame);
    if (frame >= length) {
        atEnd = true;
        position = length;
        return;
    }
    const off_t reached = mpg123_seek(handle, static_cast<off_t>(frame + startSkip), SEEK_SET);
    atEnd = reached < 0;
    position = reached < 0 ? length : reached - startSkip;
}

ssize_t Mp3Decoder::ReadBytes(void* into, size_t bytes)
{
    const size_t count = std::min(bytes, file.size() - fileAt);
    std::memcpy(into, file.data() + fileAt, count);
    fileAt += count;
    return static_cast<ssize_t>(count);
}

off_t Mp3Decoder::SeekBytes(off_t offset, int whence)
{
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<off_t>(fileAt);
    else if (whence == SEEK_END)
        base = static_cast<off_t>(file.size());
    else if (whence != SEEK_SET)
        return -1;
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(file.size()))
        return -1;
    fileAt = static_cast<size_t>(target);
    return target;
}

} // namespace Platform
