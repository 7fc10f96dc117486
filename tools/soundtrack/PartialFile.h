#pragma once
#include <string>

namespace Soundtrack {

// Output is written to PartialPath(path) and moved into place only when
// complete, so a failed run never leaves a truncated file that a later
// build would take as current.
inline std::string PartialPath(const std::string& path)
{
    return path + ".part";
}

// Renames the partial file onto `path` when `written`; otherwise, or when
// the rename fails, removes it and reports on stderr. True on success.
bool CompletePartialFile(const std::string& path, bool written, const char* what);

} // namespace Soundtrack
