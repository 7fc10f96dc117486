#pragma once
// Stand-ins for the few operating-system services the show uses.
#include <string>

namespace Platform {

// Diagnostic lines for an attached debugger: written to stderr only when
// RUVO_DEBUG is set in the environment, otherwise dropped.
void DebugOutput(const char* text);

// Reports a fatal error: always on stderr as "<caption>: <text>", and as a
// modal dialog when a display is available and RUVO_NO_DIALOG is not set.
void ShowErrorBox(const char* text, const char* caption);

} // namespace Platform

