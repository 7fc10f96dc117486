#pragma once
// Where an output goes and where it is assembled first.
#include <string>

namespace Render {

// `path` made absolute and plain: a trailing slash, "." and ".." resolved,
// so that the output is named by its last component and the scratch name
// lies beside it, never inside. The folder it goes into must exist. Throws
// std::runtime_error otherwise.
std::string NormaliseOutputPath(const std::string& path);

// The names beside `path` under which this process assembles it: a folder,
// or a file that keeps its extension (ffmpeg picks the container from it),
// `defaultExtension` where the name has none.
std::string ScratchFolderPath(const std::string& path);
std::string ScratchFilePath(const std::string& path, const std::string& defaultExtension);

bool PathExists(const std::string& path);
bool IsEmptyFolder(const std::string& path);

// Removes a folder of plain files and empty folders (the output's own
// scratch folder).
void RemoveFlatFolder(const std::string& path);

// "what: <text of errno>".
std::string SystemError(const std::string& what);

} // namespace Render
