#pragma once
#include <csignal>

namespace Platform {

// SIGINT and SIGTERM ask the show to stop: the frame loop ends, the window
// and the sound are closed as after Escape, and then the signal is raised
// again with its default action, so the exit status tells what happened.
void InstallStopSignalHandlers();
bool StopRequested();
// Lets the signals end the process at once again (while an error box waits).
void RestoreDefaultStopSignals();
// Raises the stop signal again, if one arrived; returns only if none did.
void ReraiseStopSignal();

// While one of these lives, the calling thread does not take the stop
// signals, and neither does any thread it starts, which keeps the mask for
// good: helper threads started in its scope leave the signals to the thread
// that polls the flag, and a handler never runs in the middle of their work.
class StopSignalsBlocked {
public:
    StopSignalsBlocked();
    ~StopSignalsBlocked();
    StopSignalsBlocked(const StopSignalsBlocked&) = delete;
    StopSignalsBlocked& operator=(const StopSignalsBlocked&) = delete;

private:
    sigset_t previous;
};

} // namespace Platform
