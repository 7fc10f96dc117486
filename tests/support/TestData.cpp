#include "tests/support/TestData.h"
#include "tests/support/GlTest.h"
#include "tests/support/Image.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace TestSupport {

namespace {

void MakeParents(const std::string& path)
{
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
}

} // namespace

TestData::TestData()
{
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        throw std::runtime_error("getcwd failed");
    previous = cwd;
    char pattern[] = "/tmp/ruvo-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
    if (chdir(root.c_str()) != 0)
        throw std::runtime_error("chdir failed");
}

TestData::~TestData()
{
    if (chdir(previous.c_str()) != 0)
        return;
    const std::string command = "rm -rf '" + root + "'";
    if (std::system(command.c_str()) != 0)
        return;
}

void TestData::WritePicture(const std::string& path, int width, int height,
                            const std::function<Texel(int x, int y)>& texel)
{
    Image picture = BlankImage(width, height);
    picture.hasAlpha = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Texel t = texel(x, y);
            unsigned char* out = picture.At(x, y);
            out[0] = t.r, out[1] = t.g, out[2] = t.b, out[3] = t.a;
        }
    }
    const std::string full = root + "/" + path;
    MakeParents(full);
    SavePng(full, picture);
}

void TestData::WriteSolid(const std::string& path, int width, int height, Texel colour)
{
    WritePicture(path, width, height, [colour](int, int) { return colour; });
}

void TestData::WriteText(const std::string& path, const std::string& contents)
{
    const std::string full = root + "/" + path;
    MakeParents(full);
    std::ofstream(full, std::ios::binary) << contents;
}

void TestData::CopyFromBuild(const std::string& relativePath)
{
    std::ifstream in(BuildDir() + "/data/" + relativePath, std::ios::binary);
    if (!in)
        throw std::runtime_error("no generated " + relativePath);
    const std::string full = root + "/data/" + relativePath;
    MakeParents(full);
    std::ofstream(full, std::ios::binary) << in.rdbuf();
}

} // namespace TestSupport
