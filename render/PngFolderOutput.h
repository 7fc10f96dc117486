#pragma once
#include "render/FrameOutput.h"
#include "render/PngWorkers.h"

#include <memory>
#include <string>

namespace Render {

// Numbered PNG files in a folder that must not exist yet or be empty. The
// frames are assembled in a scratch folder beside it and compressed on
// worker threads while the next frames are drawn; a file that cannot be
// written fails a later Write, or Finish.
class PngFolderOutput : public IFrameOutput {
public:
    // Throws std::runtime_error, before touching anything, for a folder that
    // holds files, a path that is something else, and the links to nothing
    // and mount points NormaliseOutputPath refuses.
    explicit PngFolderOutput(const std::string& folder, std::unique_ptr<PngWorkers> workers = nullptr);
    ~PngFolderOutput() override;
    void Write(const Frame& frame) override;
    // Throws if a frame failed; if only the final rename fails, the frames
    // stay in the scratch folder, which the message names.
    void Finish() override;
    void Abandon() override;

    // Where the frames are assembled.
    const std::string& Scratch() const { return scratch; }

private:
    std::string folder;
    std::string scratch;
    std::unique_ptr<PngWorkers> workers;
    unsigned long long written = 0;
    bool done = false;
};

} // namespace Render
