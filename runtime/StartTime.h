#pragma once

namespace Demo {

// The start position in ms from a command line of the form
// `program [start]`: the scan skips the first character, stops at the first
// space or double quote and converts what follows it as atoi does (values
// beyond the range of int saturate). No such character gives 0.
int GetStartTime(const char* commandLine);

// The same, for the process's own command line.
int GetStartTime();

} // namespace Demo
