// The PNG folder output: frames compressed on worker threads arrive whole and
// in order, and a file that cannot be written fails the render.
#include "render/FrameOutput.h"
#include "support/Image.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int width = 64;
const int height = 48;

// Frame n is a gradient that no other frame of the test shares.
std::vector<unsigned char> FramePixels(int n)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<unsigned char>(x * 4 + n);
            p[1] = static_cast<unsigned char>(y * 5);
            p[2] = static_cast<unsigned char>(n * 7);
            p[3] = 255;
        }
    return pixels;
}

// RGBA bytes of a PNG file of the test's size, or empty.
std::vector<unsigned char> ReadPng(const std::string& path)
{
    const TestSupport::Image image = TestSupport::LoadImage(path);
    if (image.width != width || image.height != height)
        return {};
    return image.rgba;
}

// The scratch folder the output writes into before it is renamed.
std::string ScratchOf(const std::string& folder) { return folder + ".partial-" + std::to_string(getpid()); }

class PngFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/ruvo-frames-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        parent = pattern;
        folder = parent + "/frames";
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + parent + "'").c_str()), 0); }
    std::string parent;
    std::string folder;
};

} // namespace

TEST_F(PngFolder, FramesArriveWholeAndInOrder)
{
    // More frames than the output keeps buffers, so buffers are reused.
    const int frames = 24;
    {
        Render::PngFolderOutput output(folder);
        std::vector<unsigned char> pixels;
        for (int n = 0; n < frames; ++n) {
            pixels = FramePixels(n); // the renderer reuses its buffer at once
            output.Write(Render::Frame{width, height, pixels});
        }
        output.Finish();
    }
    for (int n = 0; n < frames; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", n);
        EXPECT_TRUE(ReadPng(folder + name) == FramePixels(n)) << name;
    }
    struct stat info;
    EXPECT_NE(stat(ScratchOf(folder).c_str(), &info), 0) << "scratch folder left behind";
}

TEST_F(PngFolder, AFileThatCannotBeWrittenFailsTheRender)
{
    Render::PngFolderOutput output(folder);
    // The folder vanishes under the writers: no file can be created.
    ASSERT_EQ(rmdir(ScratchOf(folder).c_str()), 0);
    const std::vector<unsigned char> pixels = FramePixels(0);
    bool failed = false;
    try {
        for (int n = 0; n < 8; ++n)
            output.Write(Render::Frame{width, height, pixels});
        output.Finish();
    } catch (const std::runtime_error& error) {
        failed = true;
        EXPECT_NE(std::string(error.what()).find("cannot write"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(failed) << "the render was reported as written";
    output.Abandon();
    struct stat info;
    EXPECT_NE(stat(folder.c_str(), &info), 0);
}
