#include "tools/soundtrack/Mp3Encoder.h"

#include "tools/soundtrack/PartialFile.h"

#include <cstdio>
#include <lame/lame.h>
#include <algorithm>
#include <memory>

namespace Soundtrack {

namespace {
struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool Encode(FILE* file, const std::vector<short>& interleavedStereo, int sampleRate, int bitrateKbps)
{
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame)
        return false;
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_brate(lame.get(), bitrateKbps);
    lame_set_quality(lame.get(), 3); // 2 is twice as slow for no audible gain
    lame_set_bWriteVbrTag(lame.get(), 1); // the tag carries delay and padding
    if (lame_init_params(lame.get()) < 0)
        return false;

    const int framesPerChunk = 8192;
    std::vector<unsigned char> out(static_cast<size_t>(1.25 * framesPerChunk + 7200));
    const size_t totalFrames = interleavedStereo.size() / 2;
    for (size_t first = 0; first < totalFrames; first += framesPerChunk) {
        const int frames = static_cast<int>(std::min<size_t>(framesPerChunk, totalFrames - first));
        const int bytes = lame_encode_buffer_interleaved(lame.get(), const_cast<short*>(&interleavedStereo[first * 2]),
                                                         frames, out.data(), static_cast<int>(out.size()));
        if (bytes < 0 || std::fwrite(out.data(), 1, bytes, file) != static_cast<size_t>(bytes))
            return false;
    }
    const int bytes = lame_encode_flush(lame.get(), out.data(), static_cast<int>(out.size()));
    if (bytes < 0 || std::fwrite(out.data(), 1, bytes, file) != static_cast<size_t>(bytes))
        return false;
    lame_mp3_tags_fid(lame.get(), file);
    return std::fflush(file) == 0 && !std::ferror(file);
}
} // namespace

bool WriteMp3(const std::string& path, const std::vector<short>& interleavedStereo, int sampleRate,
              int bitrateKbps)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(PartialPath(path).c_str(), "wb+"));
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const bool encoded = Encode(file.get(), interleavedStereo, sampleRate, bitrateKbps);
    const bool closed = std::fclose(file.release()) == 0;
    return CompletePartialFile(path, encoded && closed, "MP3 file");
}

} // namespace Soundtrack
