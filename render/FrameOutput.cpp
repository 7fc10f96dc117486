#include "FrameOutput.h"

#include <cairo/cairo.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace Render {

namespace {

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

bool IsEmptyFolder(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    bool empty = true;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    closedir(dir);
    return empty;
}

void RemoveTree(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (dir) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlink((path + "/" + entry->d_name).c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

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

} // namespace

void WritePng(const std::string& path, const Frame& frame)
{
    cairo_surface_t* surface =
        cairo_image_surface_create(frame.keepAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, frame.width, frame.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < frame.height; ++y) {
        const unsigned char* in = &frame.pixels[static_cast<size_t>(y) * frame.width * 4];
        auto* out = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < frame.width; ++x, in += 4) {
            const uint32_t a = frame.keepAlpha ? in[3] : 255;
            // Cairo keeps colour premultiplied by alpha.
            out[x] = (a << 24) | (in[0] * a / 255 << 16) | (in[1] * a / 255 << 8) | in[2] * a / 255;
        }
    }
    cairo_surface_mark_dirty(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(status));
}

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

PngFolderOutput::PngFolderOutput(const std::string& folder) : folder(folder)
{
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && !(S_ISDIR(info.st_mode) && IsEmptyFolder(folder)))
        throw std::runtime_error(folder + " already exists and is not an empty folder");
    scratch = folder + ".partial-" + std::to_string(getpid());
    if (mkdir(scratch.c_str(), 0755) != 0)
        throw std::runtime_error(SystemError("cannot create " + scratch));
}

PngFolderOutput::~PngFolderOutput()
{
    if (!done)
        Abandon();
}

void PngFolderOutput::Write(const Frame& frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06llu.png", written);
    WritePng(scratch + name, frame);
    ++written;
}

void PngFolderOutput::Finish()
{
    rmdir(folder.c_str()); // an empty folder given by the caller makes way
    if (std::rename(scratch.c_str(), folder.c_str()) != 0)
        throw std::runtime_error(SystemError("cannot rename " + scratch + " to " + folder));
    done = true;
}

void PngFolderOutput::Abandon()
{
    RemoveTree(scratch);
    done = true;
}

VideoOutput::VideoOutput(const std::string& file, const std::string& soundtrack, unsigned startMs, unsigned endMs,
                         unsigned rateNumerator, unsigned rateDenominator)
    : file(file)
{
    const std::string ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg.empty())
        throw std::runtime_error("ffmpeg not found: install the ffmpeg package to write videos");
    // Keep the extension, so that ffmpeg picks the container from it.
    const size_t dot = file.rfind('.');
    const size_t slash = file.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    scratch = hasExtension ? file.substr(0, dot) + ".partial-" + std::to_string(getpid()) + file.substr(dot)
                           : file + ".partial-" + std::to_string(getpid()) + ".mp4";
    FILE* probe = std::fopen(scratch.c_str(), "wb");
    if (!probe)
        throw std::runtime_error(SystemError("cannot write " + file));
    std::fclose(probe);

    const std::string command = ShellQuote(ffmpeg) +
                                " -hide_banner -loglevel error -nostdin -y -f rawvideo -pix_fmt rgba -s 1024x768 "
                                "-framerate " + std::to_string(rateNumerator) + "/" + std::to_string(rateDenominator) +
                                " -i - -ss " + Seconds(startMs) + " -t " + Seconds(endMs - startMs) + " -i " +
                                ShellQuote(soundtrack) +
                                " -map 0:v -map 1:a -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p"
                                " -c:a aac -b:a 192k -movflags +faststart " + ShellQuote(scratch);
    // A dying ffmpeg must not kill us with SIGPIPE: the write reports it.
    std::signal(SIGPIPE, SIG_IGN);
    pipe = popen(command.c_str(), "w");
    if (!pipe) {
        unlink(scratch.c_str());
        throw std::runtime_error(SystemError("cannot start ffmpeg"));
    }
}

VideoOutput::~VideoOutput()
{
    if (!done)
        Abandon();
}

void VideoOutput::Write(const Frame& frame)
{
    const size_t bytes = frame.pixels.size();
    if (std::fwrite(frame.pixels.data(), 1, bytes, static_cast<FILE*>(pipe)) != bytes)
        throw std::runtime_error("ffmpeg stopped taking frames");
}

void VideoOutput::Finish()
{
    const int status = pclose(static_cast<FILE*>(pipe));
    pipe = nullptr;
    if (status != 0) {
        Abandon();
        throw std::runtime_error("ffmpeg failed to write " + file);
    }
    if (std::rename(scratch.c_str(), file.c_str()) != 0) {
        Abandon();
        throw std::runtime_error(SystemError("cannot rename to " + file));
    }
    done = true;
}

void VideoOutput::Abandon()
{
    if (pipe)
        pclose(static_cast<FILE*>(pipe));
    pipe = nullptr;
    unlink(scratch.c_str());
    done = true;
}

} // namespace Render
