#include "render/VideoOutput.h"
#include "render/OutputPath.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace Render {

namespace {

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Seconds(unsigned ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", ms / 1000, ms % 1000);
    return text;
}

// Renames `from` to `to` unless `to` exists: a file that appeared during
// the render is not replaced.
bool RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: check, then rename.
    if (PathExists(to)) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

std::string FindProgram(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(begin, end - begin) + "/" + program;
        if (end > begin && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return "";
}

VideoOutput::VideoOutput(const std::string& path, const std::string& soundtrack, unsigned startMs, unsigned endMs,
                         unsigned rateNumerator, unsigned rateDenominator)
    : file(NormaliseOutputPath(path)), soundtrack(soundtrack), startMs(startMs), endMs(endMs),
      rateNumerator(rateNumerator), rateDenominator(rateDenominator)
{
    if (PathExists(file))
        throw std::runtime_error(path + " already exists");
    ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg.empty())
        throw std::runtime_error("ffmpeg not found: install the ffmpeg package to write videos");
    // Made now, so that a folder where no file can be made fails before any
    // frame is drawn; ffmpeg then writes over this empty file of our own.
    scratch = CreateScratchFile(file, ".mp4");
}

VideoOutput::~VideoOutput()
{
    if (!done)
        Abandon();
}

void VideoOutput::StartEncoder(int frameWidth, int frameHeight)
{
    width = frameWidth;
    height = frameHeight;
    // -y: the scratch file is there already, made empty by this output.
    const std::string command = ShellQuote(ffmpeg) +
                                " -hide_banner -loglevel error -nostdin -y -f rawvideo -pix_fmt rgba -s " +
                                std::to_string(width) + "x" + std::to_string(height) + " -framerate " +
                                std::to_string(rateNumerator) + "/" + std::to_string(rateDenominator) + " -i - -ss " +
                                Seconds(startMs) + " -t " + Seconds(endMs - startMs) + " -i " + ShellQuote(soundtrack) +
                                " -map 0:v -map 1:a -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p"
                                " -c:a aac -b:a 192k -movflags +faststart " +
                                ShellQuote(scratch);
    // A dying ffmpeg must not kill us with SIGPIPE: the write reports it.
    std::signal(SIGPIPE, SIG_IGN);
    pipe = popen(command.c_str(), "w");
    if (!pipe)
        throw std::runtime_error(SystemError("cannot start ffmpeg"));
}

void VideoOutput::Write(const Frame& frame)
{
    if (!pipe)
        StartEncoder(frame.width, frame.height);
    if (frame.width != width || frame.height != height)
        throw std::runtime_error("a frame of " + std::to_string(frame.width) + "x" + std::to_string(frame.height) +
                                 " in a video of " + std::to_string(width) + "x" + std::to_string(height));
    const size_t bytes = FrameBytes(frame.width, frame.height);
    if (frame.pixels.size() < bytes)
        throw std::runtime_error("a frame holds fewer pixels than its size");
    if (std::fwrite(frame.pixels.data(), 1, bytes, static_cast<FILE*>(pipe)) != bytes)
        throw std::runtime_error("ffmpeg stopped taking frames");
}

void VideoOutput::Finish()
{
    if (!pipe) {
        Abandon();
        throw std::runtime_error("no frames to write to " + file);
    }
    const int status = pclose(static_cast<FILE*>(pipe));
    pipe = nullptr;
    if (status != 0) {
        Abandon();
        throw std::runtime_error("ffmpeg failed to write " + file);
    }
    if (!RenameWithoutReplacing(scratch, file)) {
        const std::string reason = SystemError("cannot rename " + scratch + " to " + file);
        done = true;
        throw std::runtime_error(reason + "; the video is kept as " + scratch);
    }
    done = true;
}

void VideoOutput::Abandon()
{
    if (done)
        return;
    if (pipe)
        pclose(static_cast<FILE*>(pipe));
    pipe = nullptr;
    unlink(scratch.c_str());
    done = true;
}

} // namespace Render
