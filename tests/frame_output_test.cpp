// The frame outputs: PNG frames compressed on worker threads arrive whole and
// in order, a file that cannot be written fails the render, an output never
// replaces or loses a file, and the video takes its size from the frames.
#include "render/OutputPath.h"
#include "render/PngFolderOutput.h"
#include "render/PngWorkers.h"
#include "render/VideoOutput.h"
#include "tests/support/Image.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <system_error>
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

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string FrameName(int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", n);
    return name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The message of what `action` throws, or "" if it throws nothing.
template <class Action> std::string FailureOf(Action action)
{
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

class PngFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/ruvo-frames-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        parent = pattern;
        folder = parent + "/frames";
    }
    void TearDown() override
    {
        if (!path.empty())
            setenv("PATH", path.c_str(), 1);
        ASSERT_EQ(std::system(("rm -rf '" + parent + "'").c_str()), 0);
    }

    // Puts first on PATH an ffmpeg that records its arguments and the frames
    // it is given, and writes "video" to its output (the last argument).
    void UseStandInFfmpeg()
    {
        const std::string bin = parent + "/bin";
        ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
        WriteFile(bin + "/ffmpeg", "#!/bin/sh\necho \"$@\" > '" + parent + "/args'\ncat > '" + parent +
                                       "/frames.raw'\nfor last; do :; done\necho video > \"$last\"\n");
        ASSERT_EQ(chmod((bin + "/ffmpeg").c_str(), 0755), 0);
        path = getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", (bin + ":" + path).c_str(), 1);
    }

    // A video of one frame written to `name`; Finish's failure, or "".
    std::string RenderVideo(const std::string& name, const std::function<void()>& duringTheRender = nullptr)
    {
        Render::VideoOutput output(name, "sound.mp3", 0, 1000, 30, 1);
        const std::vector<unsigned char> pixels = FramePixels(4);
        output.Write(Render::Frame{width, height, pixels});
        if (duringTheRender)
            duringTheRender();
        const std::string failure = FailureOf([&] { output.Finish(); });
        output.Abandon(); // as the renderer does after any failure
        return failure;
    }

    std::string parent;
    std::string folder;
    std::string path; // PATH as it was before the stand-in
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
    ASSERT_EQ(rmdir(output.Scratch().c_str()), 0);
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

TEST_F(PngFolder, TheLastFrameFailingFailsFinish)
{
    // Only the last frame's file cannot be made: its failure comes from a
    // worker after the last Write has returned, and must not be lost.
    const int frames = 5;
    Render::PngFolderOutput output(folder);
    ASSERT_EQ(mkdir((output.Scratch() + FrameName(frames - 1)).c_str(), 0755), 0);
    const std::vector<unsigned char> pixels = FramePixels(0);
    for (int n = 0; n < frames; ++n)
        output.Write(Render::Frame{width, height, pixels});
    const std::string failure = FailureOf([&] { output.Finish(); });
    EXPECT_NE(failure.find("cannot write " + output.Scratch() + FrameName(frames - 1)), std::string::npos)
        << "the render was reported as written: '" << failure << "'";
    output.Abandon();
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(output.Scratch()));
}

TEST_F(PngFolder, AnEmptyFolderNamedWithASlashOrDotsReceivesTheFrames)
{
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::vector<unsigned char> pixels = FramePixels(3);
    for (const std::string& name :
         {folder + "/", folder + "//", parent + "/./frames/.", parent + "/frames/../frames/"}) {
        {
            Render::PngFolderOutput output(name);
            EXPECT_EQ(output.Scratch().rfind(parent + "/frames.partial-", 0), 0u) << name << ": " << output.Scratch();
            output.Write(Render::Frame{width, height, pixels});
            output.Finish();
        }
        EXPECT_TRUE(ReadPng(folder + FrameName(0)) == pixels) << name;
        ASSERT_EQ(std::system(("rm -f '" + folder + "'/*").c_str()), 0);
        EXPECT_FALSE(Exists(ScratchOf(folder))) << name;
    }
}

TEST_F(PngFolder, AFailedRenameKeepsTheFramesAndSaysWhere)
{
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::vector<unsigned char> pixels = FramePixels(1);
    Render::PngFolderOutput output(folder);
    output.Write(Render::Frame{width, height, pixels});
    WriteFile(folder + "/late.txt", "written during the render"); // the folder fills meanwhile
    const std::string failure = FailureOf([&] { output.Finish(); });
    EXPECT_NE(failure.find("kept in " + output.Scratch()), std::string::npos) << failure;
    output.Abandon(); // as the renderer does after any failure
    EXPECT_TRUE(ReadPng(output.Scratch() + FrameName(0)) == pixels);
    EXPECT_EQ(ReadFile(folder + "/late.txt"), "written during the render");
}

TEST(OutputPath, NamedByItsLastComponentBesideItsFolder)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string here = cwd;
    const std::string above = here.substr(0, here.rfind('/'));
    EXPECT_EQ(Render::NormaliseOutputPath("shots/"), here + "/shots");
    EXPECT_EQ(Render::NormaliseOutputPath("./shots"), here + "/shots");
    EXPECT_EQ(Render::NormaliseOutputPath("../" + here.substr(here.rfind('/') + 1) + "/shots"), here + "/shots");
    EXPECT_EQ(Render::NormaliseOutputPath("."), here);
    EXPECT_EQ(Render::NormaliseOutputPath(".."), above.empty() ? "/" : above);
    EXPECT_EQ(Render::NormaliseOutputPath("/tmp//show.mp4"), "/tmp/show.mp4");
    EXPECT_THROW(Render::NormaliseOutputPath("/nonexistent-ruvo/shots"), std::runtime_error);
    EXPECT_THROW(Render::NormaliseOutputPath(""), std::runtime_error);
}

TEST(PngWorkers, AWorkerThatCannotStartFailsWithAMessage)
{
    // The third thread cannot be made: the two running must be joined (an
    // unjoined thread would end the process) and the failure reported.
    std::atomic<int> started{0};
    Render::PngWorkers::StartThread start = [&](std::function<void()> work) {
        if (started == 2)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++started;
        return std::thread(std::move(work));
    };
    const std::string failure = FailureOf([&] { Render::PngWorkers workers(4, nullptr, start); });
    EXPECT_NE(failure.find("cannot start a frame writer thread"), std::string::npos) << failure;
    EXPECT_EQ(started, 2);
}

TEST(PngWorkers, LargeFramesHaveFewerCopiesInFlight)
{
    // Two a worker while the copies and the frame read back stay within
    // 512 MiB; one at least, and frames too large for that are refused
    // by the options (RenderOptions.AFrameTooLargeForItsMemoryIsRefused).
    const Render::PngWorkers workers(4, [](const std::string&, const Render::Frame&) {});
    EXPECT_EQ(workers.CopiesInFlight(1920, 1080), 8u); // 8 MiB a frame
    EXPECT_EQ(workers.CopiesInFlight(7680, 4320), 3u); // 127 MiB
    EXPECT_EQ(workers.CopiesInFlight(8192, 8192), 1u); // 256 MiB
}

TEST(PngWorkers, AFrameHandedInAfterStopIsRefused)
{
    // Neither queued for writers that are gone nor left waiting for ever for
    // a buffer, whether the frame before was written or dropped.
    Render::PngWorkers workers(1, [](const std::string&, const Render::Frame&) {});
    const std::vector<unsigned char> pixels = FramePixels(0);
    workers.Submit("first", Render::Frame{width, height, pixels});
    workers.Submit("second", Render::Frame{width, height, pixels});
    workers.Stop();
    EXPECT_NE(FailureOf([&] { workers.Submit("late", Render::Frame{width, height, pixels}); }), "");
}

TEST(PngWorkers, WorkersLeaveTheStopSignalsToTheFrameLoop)
{
    std::atomic<int> blockedInWorker{-1};
    Render::PngWorkers workers(2, [&](const std::string&, const Render::Frame&) {
        sigset_t mask;
        pthread_sigmask(SIG_BLOCK, nullptr, &mask);
        blockedInWorker = sigismember(&mask, SIGINT) && sigismember(&mask, SIGTERM);
    });
    sigset_t callerMask;
    pthread_sigmask(SIG_BLOCK, nullptr, &callerMask);
    EXPECT_FALSE(sigismember(&callerMask, SIGINT)) << "the caller's signals stay as they were";
    const std::vector<unsigned char> pixels = FramePixels(0);
    workers.Submit("unused", Render::Frame{width, height, pixels});
    workers.Drain();
    EXPECT_EQ(blockedInWorker, 1);
}

TEST_F(PngFolder, TheVideoTakesItsSizeFromTheFrames)
{
    UseStandInFfmpeg();
    const std::string video = parent + "/show.mp4";
    {
        Render::VideoOutput output(video, "sound.mp3", 1000, 2000, 30, 1);
        const std::vector<unsigned char> pixels = FramePixels(2);
        output.Write(Render::Frame{width, height, pixels});
        output.Write(Render::Frame{width, height, pixels});
        const std::vector<unsigned char> wider(static_cast<size_t>(width + 2) * height * 4);
        EXPECT_NE(FailureOf([&] { output.Write(Render::Frame{width + 2, height, wider}); }), "");
        output.Finish();
    }
    EXPECT_NE(ReadFile(parent + "/args").find("-s 64x48 "), std::string::npos) << ReadFile(parent + "/args");
    EXPECT_EQ(ReadFile(parent + "/frames.raw").size(), 2u * width * height * 4);
    EXPECT_EQ(ReadFile(video), "video\n");
}

TEST_F(PngFolder, AnOutputReplacesNoFileAndAKeptOneOutlivesTheNextRender)
{
    UseStandInFfmpeg();
    const std::string pid = std::to_string(getpid());
    // Outputs kept by an earlier process of the same id (process ids come
    // round again in containers) under the first scratch names.
    const std::string keptVideo = parent + "/show.partial-" + pid + ".mp4";
    WriteFile(keptVideo, "kept video");
    const std::string keptFrames = ScratchOf(folder);
    ASSERT_EQ(mkdir(keptFrames.c_str(), 0755), 0);
    WriteFile(keptFrames + FrameName(0), "kept frame");

    // A file that appears under the video's name during the render stays,
    // and the video is kept under a scratch name of its own.
    const std::string video = parent + "/show.mp4";
    const std::string failure = RenderVideo(video, [&] { WriteFile(video, "appeared meanwhile"); });
    const size_t kept = failure.find("kept as ");
    ASSERT_NE(kept, std::string::npos) << "the render was reported as written: '" << failure << "'";
    const std::string scratch = failure.substr(kept + 8);
    EXPECT_EQ(ReadFile(video), "appeared meanwhile");
    EXPECT_NE(scratch, keptVideo);
    EXPECT_EQ(ReadFile(scratch), "video\n");

    // The next renders of this process assemble beside every kept output.
    ASSERT_EQ(unlink(video.c_str()), 0);
    EXPECT_EQ(RenderVideo(video), "");
    EXPECT_EQ(ReadFile(video), "video\n");
    {
        Render::PngFolderOutput output(folder);
        const std::vector<unsigned char> pixels = FramePixels(5);
        output.Write(Render::Frame{width, height, pixels});
        output.Finish();
        EXPECT_TRUE(ReadPng(folder + FrameName(0)) == pixels);
    }
    EXPECT_EQ(ReadFile(keptVideo), "kept video");
    EXPECT_EQ(ReadFile(scratch), "video\n");
    EXPECT_EQ(ReadFile(keptFrames + FrameName(0)), "kept frame");
}

TEST_F(PngFolder, BothOutputsFollowLinksAndRefuseMountPoints)
{
    UseStandInFfmpeg();
    const auto refusal = [](const std::string& name, bool frames) {
        return FailureOf([&] {
            if (frames)
                Render::PngFolderOutput output(name);
            else
                Render::VideoOutput output(name, "sound.mp3", 0, 1000, 30, 1);
        });
    };
    // A link stands for what it names: an empty folder receives the frames,
    // in its own place, and the link stays as it was.
    ASSERT_EQ(mkdir((parent + "/target").c_str(), 0755), 0);
    ASSERT_EQ(symlink("target", (parent + "/link").c_str()), 0);
    const std::vector<unsigned char> pixels = FramePixels(6);
    {
        Render::PngFolderOutput output(parent + "/link");
        EXPECT_EQ(output.Scratch().rfind(parent + "/target.partial-", 0), 0u) << output.Scratch();
        output.Write(Render::Frame{width, height, pixels});
        output.Finish();
    }
    EXPECT_TRUE(ReadPng(parent + "/target" + FrameName(0)) == pixels);
    struct stat info;
    EXPECT_TRUE(lstat((parent + "/link").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    // A link to a file is that file, which both refuse to replace; a link to
    // nothing both refuse alike.
    ASSERT_EQ(symlink("target/clip.mp4", (parent + "/clip.mp4").c_str()), 0);
    WriteFile(parent + "/target/clip.mp4", "an earlier clip");
    ASSERT_EQ(symlink("nowhere/clip.mp4", (parent + "/link-to-nothing").c_str()), 0);
    for (bool frames : {true, false}) {
        const char* kind = frames ? "frames" : "video";
        EXPECT_NE(refusal(parent + "/clip.mp4", frames).find("already exists"), std::string::npos) << kind;
        EXPECT_NE(refusal(parent + "/link-to-nothing", frames).find("symbolic link"), std::string::npos) << kind;
    }
    EXPECT_EQ(ReadFile(parent + "/target/clip.mp4"), "an earlier clip");
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + parent + "' | grep partial)\"").c_str()), 0)
        << "scratch output made for a refused render";

    // A mount point cannot be renamed onto: refused, whatever it holds (the
    // checks come in this order so that /proc, always one, shows it).
    if (!Exists("/proc/self"))
        GTEST_SKIP() << "no /proc mounted here";
    for (bool frames : {true, false})
        EXPECT_NE(refusal("/proc", frames).find("mount point"), std::string::npos) << (frames ? "frames" : "video");
}
