#pragma once
#include <memory>
#include <string>
#include <vector>

namespace Render {

// One finished frame: 1024 x 768 opaque RGBA pixels, rows from the top.
struct Frame {
    int width;
    int height;
    const std::vector<unsigned char>& pixels;
    bool keepAlpha = false; // written as RGBA, for pictures with transparency (test data)
};

// Where rendered frames go. Nothing is visible under the final name until
// Finish succeeds; Abandon (or destruction without Finish) removes what was
// written so far.
class IFrameOutput {
public:
    virtual ~IFrameOutput() {}
    virtual void Write(const Frame& frame) = 0; // throws std::runtime_error
    // Whether the frame of music time `time` is read back and written. Every
    // frame is drawn regardless, so scene and beat state stay those of play;
    // an output that needs only some frames saves the read-back of the rest.
    virtual bool Wants(unsigned time) const
    {
        (void)time;
        return true;
    }
    virtual void Finish() = 0;
    virtual void Abandon() = 0;
};

class PngEncoders;

// Numbered PNG files in a folder that must not exist yet or be empty. The
// files are compressed on worker threads while the next frames are drawn; a
// file that cannot be written fails a later Write, or Finish.
class PngFolderOutput : public IFrameOutput {
public:
    explicit PngFolderOutput(const std::string& folder);
    ~PngFolderOutput() override;
    void Write(const Frame& frame) override;
    void Finish() override;
    void Abandon() override;

private:
    std::string folder;
    std::string scratch;
    std::unique_ptr<PngEncoders> encoders;
    unsigned long long written = 0;
    bool done = false;
};

// An H.264 MP4 made by the ffmpeg program from raw frames on its standard
// input, with the soundtrack of the same range muxed in.
class VideoOutput : public IFrameOutput {
public:
    VideoOutput(const std::string& file, const std::string& soundtrack, unsigned startMs, unsigned endMs,
                unsigned rateNumerator, unsigned rateDenominator);
    ~VideoOutput() override;
    void Write(const Frame& frame) override;
    void Finish() override;
    void Abandon() override;

private:
    std::string file;
    std::string scratch;
    void* pipe = nullptr; // FILE* of the ffmpeg process
    bool done = false;
};

// Writes one frame as a PNG file (used by the folder output and tests),
// compressed for speed rather than size: rendering waits on it. Throws
// std::runtime_error when the file cannot be written.
void WritePng(const std::string& path, const Frame& frame);

// The full path of `program` found on PATH, or empty.
std::string FindProgram(const std::string& program);

} // namespace Render
