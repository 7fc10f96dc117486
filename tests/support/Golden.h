#pragma once
// Golden frames: frames of the show rendered as ruvo-render renders them,
// shrunk by box averaging and compared with the pictures kept in
// tests/golden/. A change that alters what the viewer sees fails, and leaves
// a difference picture (kept | now | difference x8) in the build folder.
//
// After an intended change of the look: tests/golden/update.sh
// (or RUVO_UPDATE_GOLDEN=1 on any run of these tests) rewrites the pictures.
#include "render/FrameOutput.h"
#include "render/RenderOptions.h"
#include "tests/support/Image.h"

#include <string>
#include <vector>

namespace TestSupport {

// Each side of a kept picture is the frame's divided by this.
const int goldenShrink = 4;

// Limits on the channel difference between the kept and the new picture
// (0-255, after shrinking). Repeated runs of one build agree exactly,
// whatever the software renderer's thread count; the largest difference
// leaves room for a level or two of drift between the renderer's versions
// and no more, so that a wrong scene (a missing ring, a lost half of a
// sprite, a changed flash) fails by several times the limit.
const ImageLimits goldenLimits = {4, 0.25};

// The frame shrunk: each pixel the rounded mean of a block of the frame.
Image Shrink(const Render::Frame& frame);

// Keeps the shrunk frames of the wanted music times and lets every other
// frame pass without a read-back.
class FrameCapture : public Render::IFrameOutput {
public:
    explicit FrameCapture(const std::vector<unsigned>& times) : times(times) {}
    bool Wants(unsigned time) const override;
    void Write(const Render::Frame& frame) override { pictures.push_back(Shrink(frame)); }
    void Finish() override {}
    void Abandon() override {}

    std::vector<Image> pictures; // in the order of the wanted times

private:
    std::vector<unsigned> times;
};

// Renders `options` (from the build folder, where data/ is) and returns the
// shrunk frames of `times`, ascending music times on the options' frame
// grid; fewer pictures than times when one is not on it.
std::vector<Image> RenderShrunk(const Render::RenderOptions& options, const std::vector<unsigned>& times);

// Whether this run rewrites the kept pictures instead of checking them.
bool GoldenUpdateRequested();
std::string GoldenPath(const std::string& name);
// The names of the kept pictures, from the folder.
std::vector<std::string> GoldenNames();

// Compares `now` with the kept picture `name` (a failure of the running
// test, with the difference picture written), or rewrites it on request.
void CheckGolden(const std::string& name, const Image& now);

} // namespace TestSupport
