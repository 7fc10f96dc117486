#include "FrameOutput.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <exception>
#include <mutex>
#include <png.h>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
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

namespace {

// zlib's fastest level: about seven times quicker than the default level on
// these frames, for files about a tenth larger.
const int pngCompressionLevel = 1;

// Text of libpng's failure, kept where the error handler can reach it.
struct PngFailure {
    char message[256];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by a long jump back into this function, so
// nothing in its frame may need a destructor. Returns false with the reason
// in `failure`.
bool EncodePng(FILE* file, const Frame& frame, PngFailure& failure)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width), static_cast<png_uint_32>(frame.height), 8,
                 frame.keepAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, pngCompressionLevel);
    png_write_info(png, info);
    if (!frame.keepAlpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // the rows are RGBA; the file keeps RGB
    const size_t rowBytes = static_cast<size_t>(frame.width) * 4;
    for (int y = 0; y < frame.height; ++y)
        png_write_row(png, &frame.pixels[static_cast<size_t>(y) * rowBytes]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void WritePng(const std::string& path, const Frame& frame)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error(SystemError("cannot write " + path));
    PngFailure failure = {};
    const bool encoded = EncodePng(file, frame, failure);
    // A full disk may only show when the last block is flushed.
    const bool closed = std::fclose(file) == 0;
    if (!encoded)
        throw std::runtime_error("cannot write " + path + ": " + failure.message);
    if (!closed)
        throw std::runtime_error(SystemError("cannot write " + path));
}

// Worker threads that write frames as PNG files. Each frame is copied into
// one of a few buffers, so that the renderer can reuse its own at once; when
// every buffer is waiting or being written, the renderer waits for one.
class PngEncoders {
public:
    explicit PngEncoders(unsigned workerCount) : buffers(2 * workerCount)
    {
        for (std::vector<unsigned char>& buffer : buffers)
            free.push_back(&buffer);
        for (unsigned i = 0; i < workerCount; ++i)
            workers.emplace_back([this] { Work(); });
    }

    ~PngEncoders() { Stop(); }

    // Throws the failure of an earlier frame, if any.
    void Submit(const std::string& path, const Frame& frame)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !free.empty() || failure; });
        if (failure)
            std::rethrow_exception(failure);
        std::vector<unsigned char>* pixels = free.back();
        free.pop_back();
        pixels->assign(frame.pixels.begin(), frame.pixels.end());
        queue.push_back(Job{path, frame.width, frame.height, frame.keepAlpha, pixels});
        changed.notify_all();
    }

    // Waits until every frame handed in is written; throws the first failure.
    void Drain()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return (queue.empty() && busy == 0) || failure; });
        if (failure)
            std::rethrow_exception(failure);
    }

    // Drops the frames not yet begun and waits for the workers to end.
    void Stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            queue.clear();
            changed.notify_all();
        }
        for (std::thread& worker : workers)
            worker.join();
        workers.clear();
    }

private:
    struct Job {
        std::string path;
        int width;
        int height;
        bool keepAlpha;
        std::vector<unsigned char>* pixels;
    };

    void Work()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return !queue.empty() || stopping; });
            if (queue.empty())
                return;
            Job job = queue.front();
            queue.pop_front();
            ++busy;
            lock.unlock();
            std::exception_ptr error;
            try {
                WritePng(job.path, Frame{job.width, job.height, *job.pixels, job.keepAlpha});
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            --busy;
            free.push_back(job.pixels);
            if (error && !failure)
                failure = error;
            changed.notify_all();
        }
    }

    std::vector<std::vector<unsigned char>> buffers;
    std::vector<std::vector<unsigned char>*> free;
    std::deque<Job> queue;
    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable changed;
    std::exception_ptr failure;
    unsigned busy = 0;
    bool stopping = false;
};

namespace {

// A worker a core (a few at most): compressing takes far longer than
// drawing a frame, so the workers share the cores with the rasteriser.
unsigned EncoderCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::max(1u, std::min(cores, 4u));
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

PngFolderOutput::PngFolderOutput(const std::string& folder) : folder(folder)
{
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && !(S_ISDIR(info.st_mode) && IsEmptyFolder(folder)))
        throw std::runtime_error(folder + " already exists and is not an empty folder");
    encoders.reset(new PngEncoders(EncoderCount()));
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
    encoders->Submit(scratch + name, frame);
    ++written;
}

void PngFolderOutput::Finish()
{
    encoders->Drain();
    encoders->Stop();
    rmdir(folder.c_str()); // an empty folder given by the caller makes way
    if (std::rename(scratch.c_str(), folder.c_str()) != 0)
        throw std::runtime_error(SystemError("cannot rename " + scratch + " to " + folder));
    done = true;
}

void PngFolderOutput::Abandon()
{
    encoders->Stop(); // no file may appear once the folder is gone
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
