#include "render/PngWorkers.h"
#include "platform/StopSignals.h"
#include "render/PngEncoder.h"

#include <algorithm>
#include <pthread.h>
#include <stdexcept>
#include <system_error>

namespace Render {

PngWorkers::PngWorkers(unsigned workerCount, WriteFile write, StartThread start)
    : write(write ? std::move(write) : WriteFile(WritePng)), buffers(2 * std::max(1u, workerCount))
{
    if (!start)
        start = [](std::function<void()> work) { return std::thread(std::move(work)); };
    for (std::vector<unsigned char>& buffer : buffers)
        free.push_back(&buffer);
    // The workers never take a stop signal: it goes to the thread that polls
    // for it, and no handler interrupts a file half-written.
    Platform::StopSignalsBlocked blocked;
    try {
        for (unsigned i = 0; i < std::max(1u, workerCount); ++i)
            workers.push_back(start([this] { Work(); }));
    } catch (const std::exception& error) {
        Stop(); // a thread still joinable when destroyed would end the process
        throw std::runtime_error(std::string("cannot start a frame writer thread: ") + error.what());
    }
}

PngWorkers::~PngWorkers() { Stop(); }

void PngWorkers::Submit(const std::string& path, const Frame& frame)
{
    std::vector<unsigned char>* pixels;
    {
        // The buffer last returned is taken first, so that no more buffers
        // than the copies allowed ever hold a frame.
        const size_t copies = CopiesInFlight(frame.width, frame.height);
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return buffers.size() - free.size() < copies || failure || stopping; });
        if (failure)
            std::rethrow_exception(failure);
        if (stopping)
            throw std::runtime_error("a frame handed in after its writers stopped");
        pixels = free.back();
        free.pop_back();
    }
    // The buffer is this thread's until queued: the copy (megabytes) keeps
    // the workers waiting on no lock.
    pixels->assign(frame.pixels.begin(), frame.pixels.end());
    std::lock_guard<std::mutex> lock(mutex);
    queue.push_back(Job{path, frame.width, frame.height, frame.keepAlpha, pixels});
    changed.notify_all();
}

void PngWorkers::Drain()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return (queue.empty() && busy == 0) || failure; });
    if (failure)
        std::rethrow_exception(failure);
}

void PngWorkers::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        for (const Job& job : queue)
            free.push_back(job.pixels);
        queue.clear();
        changed.notify_all();
    }
    for (std::thread& worker : workers)
        worker.join();
    workers.clear();
}

unsigned PngWorkers::CopiesInFlight(int width, int height) const
{
    const size_t frames = FramesWithinBudget(width, height);
    const size_t besideTheRenderers = frames > 1 ? frames - 1 : 1;
    return static_cast<unsigned>(std::min(buffers.size(), besideTheRenderers));
}

unsigned PngWorkers::DefaultCount()
{
    // Compressing takes far longer than drawing a frame, so the workers
    // share the cores with the rasteriser.
    const unsigned cores = std::thread::hardware_concurrency();
    return std::max(1u, std::min(cores, 4u));
}

void PngWorkers::Work()
{
    pthread_setname_np(pthread_self(), "ruvo-png"); // for ps, top and debuggers
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
            write(job.path, Frame{job.width, job.height, *job.pixels, job.keepAlpha});
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

} // namespace Render
