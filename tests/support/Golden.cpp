#include "tests/support/Golden.h"
#include "render/OfflineRenderer.h"
#include "tests/support/GlTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace TestSupport {

namespace {

// Kept, now and their difference magnified eight times, side by side.
Image DifferencePicture(const Image& kept, const Image& now)
{
    Image sheet = BlankImage(kept.width * 3, kept.height);
    for (int y = 0; y < kept.height; ++y) {
        for (int x = 0; x < kept.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const int a = kept.At(x, y)[channel];
                const int b = now.At(x, y)[channel];
                sheet.At(x, y)[channel] = static_cast<unsigned char>(a);
                sheet.At(x + kept.width, y)[channel] = static_cast<unsigned char>(b);
                sheet.At(x + 2 * kept.width, y)[channel] = static_cast<unsigned char>(std::min(255, 8 * std::abs(a - b)));
            }
        }
    }
    return sheet;
}

} // namespace

Image Shrink(const Render::Frame& frame)
{
    const int block = goldenShrink;
    Image small = BlankImage(frame.width / block, frame.height / block);
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < block; ++dy) {
                    const size_t row = static_cast<size_t>(y * block + dy) * frame.width;
                    for (int dx = 0; dx < block; ++dx)
                        sum += frame.pixels[(row + x * block + dx) * 4 + channel];
                }
                small.At(x, y)[channel] = static_cast<unsigned char>((sum + block * block / 2) / (block * block));
            }
        }
    }
    return small;
}

bool FrameCapture::Wants(unsigned time) const { return std::find(times.begin(), times.end(), time) != times.end(); }

std::vector<Image> RenderShrunk(const Render::RenderOptions& options, const std::vector<unsigned>& times)
{
    FrameCapture capture(times);
    Render::OfflineRenderer(options).Run(capture, nullptr);
    return capture.pictures;
}

bool GoldenUpdateRequested()
{
    const char* update = std::getenv("RUVO_UPDATE_GOLDEN");
    return update && *update && std::string(update) != "0";
}

std::string GoldenPath(const std::string& name) { return SourceDir() + "/tests/golden/" + name + ".png"; }

std::vector<std::string> GoldenNames()
{
    std::vector<std::string> names;
    if (DIR* folder = opendir((SourceDir() + "/tests/golden").c_str())) {
        while (dirent* entry = readdir(folder)) {
            const std::string file = entry->d_name;
            if (file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0)
                names.push_back(file.substr(0, file.size() - 4));
        }
        closedir(folder);
    }
    return names;
}

void CheckGolden(const std::string& name, const Image& now)
{
    const std::string golden = GoldenPath(name);
    if (GoldenUpdateRequested()) {
        SavePng(golden, now);
        std::printf("updated %s\n", golden.c_str());
        return;
    }
    const Image kept = LoadImage(golden);
    ASSERT_FALSE(kept.Empty()) << "no golden picture " << golden << "; make it with tests/golden/update.sh";
    ASSERT_EQ(kept.width, now.width);
    ASSERT_EQ(kept.height, now.height);

    const ::testing::AssertionResult close = ImagesClose(kept, now, goldenLimits);
    std::printf("%s: %s\n", name.c_str(), close.message());
    if (!close) {
        const std::string folder = BuildDir() + "/golden-diff";
        mkdir(folder.c_str(), 0755);
        const std::string sheet = folder + "/" + name + ".png";
        SavePng(sheet, DifferencePicture(kept, now));
        ADD_FAILURE() << name << " differs from " << golden << ": " << close.message() << "\n"
                      << "kept | now | difference x8: " << sheet << "\n"
                      << "if the change is intended, run tests/golden/update.sh";
    }
}

} // namespace TestSupport
