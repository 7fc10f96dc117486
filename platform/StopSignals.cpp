#include "platform/StopSignals.h"

#include <csignal>

namespace Platform {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void RecordStopSignal(int signal) { stopSignal = signal; }

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

bool StopRequested() { return stopSignal != 0; }

void RestoreDefaultStopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void ReraiseStopSignal()
{
    const int signal = stopSignal;
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace Platform
