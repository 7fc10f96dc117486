#include "Mp3Encoder.h"

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
} // namespace

bool WriteMp3(const std::string& path, const std::vector<short>& interleavedStereo, int sampleRate,
              int bitrateKbps)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb+"));
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_brate(lame.get(), bitrateKbps);
    lame_set_quality(lame.get(), 2);
    lame_set_bWriteVbrTag(lame.get(), 1); // the tag carries delay and padding
    if (lame_init_params(lame.get()) < 0) {
        std::fprintf(stderr, "%s: cannot set up the MP3 encoder\n", path.c_str());
        return false;
    }

    const int framesPerChunk = 8192;
    std::vector<unsigned char> out(static_cast<size_t>(1.25 * framesPerChunk + 7200));
    const size_t totalFrames = interleavedStereo.size() / 2;
    for (size_t first = 0; first < totalFrames; first += framesPerChunk) {
        const int frames = static_cast<int>(std::min<size_t>(framesPerChunk, totalFrames - first));
        const int bytes = lame_encode_buffer_interleaved(lame.get(), const_cast<short*>(&interleavedStereo[first * 2]),
                                                         frames, out.data(), static_cast<int>(out.size()));
        if (bytes < 0 || std::fwrite(out.data(), 1, bytes, file.get()) != static_cast<size_t>(bytes))
            return false;
    }
    const int bytes = lame_encode_flush(lame.get(), out.data(), static_cast<int>(out.size()));
    if (bytes < 0 || std::fwrite(out.data(), 1, bytes, file.get()) != static_cast<size_t>(bytes))
        return false;
    lame_mp3_tags_fid(lame.get(), file.get());
    return std::fflush(file.get()) == 0;
}

} // namespace Soundtrack
