#pragma once
#include "render/FrameOutput.h"

#include <string>

namespace Render {

// An H.264 MP4 made by the ffmpeg program from raw frames on its standard
// input, with the soundtrack of the same range muxed in. The file must not
// exist yet; it is assembled beside its final name. ffmpeg starts with the
// first frame, whose size the video takes; every later frame must match it.
class VideoOutput : public IFrameOutput {
public:
    // Throws std::runtime_error, before touching anything, for an existing
    // file (a link to one included), the links to nothing and mount points
    // NormaliseOutputPath refuses, or a missing ffmpeg.
    VideoOutput(const std::string& file, const std::string& soundtrack, unsigned startMs, unsigned endMs,
                unsigned rateNumerator, unsigned rateDenominator);
    ~VideoOutput() override;
    void Write(const Frame& frame) override;
    // If only the final rename fails, the video stays under its scratch
    // name, which the message names.
    void Finish() override;
    void Abandon() override;

private:
    void StartEncoder(int width, int height);

    std::string file;
    std::string scratch;
    std::string ffmpeg;
    std::string soundtrack;
    unsigned startMs;
    unsigned endMs;
    unsigned rateNumerator;
    unsigned rateDenominator;
    int width = 0;
    int height = 0;
    void* pipe = nullptr; // FILE* of the ffmpeg process
    bool done = false;
};

// The full path of `program` found on PATH, or empty.
std::string FindProgram(const std::string& program);

} // namespace Render
