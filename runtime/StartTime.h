#pragma once

namespace Demo {

// Whether a command-line word is meant as a start time: a number, possibly
// signed, possibly followed by other characters ("60000", "-5000", "123abc").
bool IsStartTime(const char* word);

// The start position in ms from such a word, converted as atoi does (what
// follows the digits is ignored; values beyond the range of int saturate).
// Anything else gives 0.
int ReadStartTime(const char* word);

} // namespace Demo
