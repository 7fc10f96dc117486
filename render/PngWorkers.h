#pragma once
// Worker threads that write frames as PNG files while the next ones draw.
#include "render/FrameOutput.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Render {

// Each frame is copied into one of a few buffers, so that the renderer can
// reuse its own at once; when every copy the frame's size allows is waiting
// or being written, the renderer waits for one. A file that cannot be
// written fails a later Submit, or Drain.
class PngWorkers {
public:
    // How a frame is written (WritePng; tests put in failures).
    using WriteFile = std::function<void(const std::string& path, const Frame& frame)>;
    // How a worker thread is started (std::thread; tests make it fail).
    using StartThread = std::function<std::thread(std::function<void()> work)>;

    // Throws std::runtime_error if a worker cannot be started, after the
    // ones already running have ended.
    explicit PngWorkers(unsigned workerCount, WriteFile write = nullptr, StartThread start = nullptr);
    ~PngWorkers();
    PngWorkers(const PngWorkers&) = delete;
    PngWorkers& operator=(const PngWorkers&) = delete;

    // Throws the failure of an earlier frame, if any, and after Stop.
    void Submit(const std::string& path, const Frame& frame);
    // Waits until every frame handed in is written; throws the first failure.
    void Drain();
    // Drops the frames not yet begun and waits for the workers to end.
    void Stop();

    // How many frames of this size may wait or be written at once: two a
    // worker, fewer where their copies and the renderer's own frame would
    // pass the frame memory budget, but always one.
    unsigned CopiesInFlight(int width, int height) const;

    // A worker a core (a few at most).
    static unsigned DefaultCount();

private:
    struct Job {
        std::string path;
        int width;
        int height;
        bool keepAlpha;
        std::vector<unsigned char>* pixels;
    };

    void Work();

    WriteFile write;
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

} // namespace Render
