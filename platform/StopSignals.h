#pragma once

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

} // namespace Platform
