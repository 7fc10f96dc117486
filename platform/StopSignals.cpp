#include "platform/StopSignals.h"

#include <atomic>
#include <pthread.h>

namespace Platform {

namespace {

// Written by the handler, on whichever thread the kernel picks, and read by
// the frame loop: an atomic makes that hand-over defined. Only a lock-free
// atomic may be touched in a signal handler.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the stop flag must be lock-free to be set in a handler");

extern "C" void RecordStopSignal(int signal) { stopSignal.store(signal, std::memory_order_relaxed); }

sigset_t StopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void InstallStopSignalHandlers()
{
    // Installed before SDL starts, which then leaves them in place.
    struct sigaction action = {};
    action.sa_handler = RecordStopSignal;
    sigemptyset(&action.sa_mask);
    // A stop only asks the loop to end: calls in progress (a beat file being
    // opened, an X read) go on instead of failing with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() { return stopSignal.load(std::memory_order_relaxed) != 0; }

void RestoreDefaultStopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void ReraiseStopSignal()
{
    const int signal = stopSignal.load(std::memory_order_relaxed);
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

StopSignalsBlocked::StopSignalsBlocked()
{
    const sigset_t stops = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
}

StopSignalsBlocked::~StopSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }

} // namespace Platform
