#pragma once
// A scratch working directory with a data/ folder of pictures and beat files
// that a test writes itself (solid colours, halves, known alpha), so that
// pixel checks do not depend on the artwork.
#include <functional>
#include <string>

namespace TestSupport {

struct Texel {
    unsigned char r, g, b, a;
};

class TestData {
public:
    // Creates a fresh directory and makes it the working directory.
    TestData();
    // Restores the previous working directory and removes the scratch one.
    ~TestData();
    TestData(const TestData&) = delete;
    TestData& operator=(const TestData&) = delete;

    const std::string& Root() const { return root; }

    // Writes a PNG (32-bit RGBA) at `path`, relative to the scratch root,
    // creating folders on the way.
    void WritePicture(const std::string& path, int width, int height, const std::function<Texel(int x, int y)>& texel);
    void WriteSolid(const std::string& path, int width, int height, Texel colour);
    // Writes `contents` byte for byte (text, or a damaged or hand-made file).
    void WriteText(const std::string& path, const std::string& contents);
    // Copies a file of the build's generated data/ (for instance the beat files).
    void CopyFromBuild(const std::string& relativePath);

private:
    std::string root;
    std::string previous;
};

} // namespace TestSupport
