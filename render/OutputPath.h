#pragma once
// Where an output goes and where it is assembled first.
#include <string>

namespace Render {

// `path` made absolute and plain: a trailing slash, "." and ".." resolved,
// and symbolic links followed, the last component's as well as those before
// it, so that the output is named by its last component and the scratch
// name lies beside it, on the same file system, never inside. Throws
// std::runtime_error, before anything is made, where the folder it goes into
// does not exist, where a link leads to nothing, and where the name is a
// mount point (no rename can put an output in its place).
std::string NormaliseOutputPath(const std::string& path);

// Creates, exclusively, the folder or the empty file beside `path` in which
// this process assembles it, and returns its name: NAME.partial-PID, or
// NAME.partial-PID-2 and so on where that is taken (by an output kept from
// an earlier process of the same id, say). An existing file or folder is
// never taken over. A file keeps its extension (ffmpeg picks the container
// from it), `defaultExtension` where the name has none. Throws
// std::runtime_error.
std::string CreateScratchFolder(const std::string& path);
std::string CreateScratchFile(const std::string& path, const std::string& defaultExtension);

bool PathExists(const std::string& path);
bool IsEmptyFolder(const std::string& path);

// Removes a folder of plain files and empty folders (the output's own
// scratch folder).
void RemoveFlatFolder(const std::string& path);

// "what: <text of errno>".
std::string SystemError(const std::string& what);

} // namespace Render
