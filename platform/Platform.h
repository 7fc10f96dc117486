#pragma once
// Stand-ins for the few operating-system services the show uses.
#include <string>

namespace Platform {

// Diagnostic lines for an attached debugger: written to stderr only when
// RUVO_DEBUG is set in the environment, otherwise dropped.
void DebugOutput(const char* text);

// The program name and its arguments joined with single spaces, the form the
// start-time reader expects.
std::string JoinCommandLine(int argc, char** argv);

// Reports a fatal error: always on stderr as "<caption>: <text>", and as a
// modal dialog when a display is available and RUVO_NO_DIALOG is not set.
void ShowErrorBox(const char* text, const char* caption);

} // namespace Platform

namespace Platform {

// The process command line as one string (set once by main).
void SetCommandLine(const std::string& line);
const char* GetCommandLine();

} // namespace Platform
