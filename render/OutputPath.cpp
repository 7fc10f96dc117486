#include "render/OutputPath.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace Render {

namespace {

// The canonical form of an existing path.
std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        throw std::runtime_error(SystemError("cannot write " + path));
    return resolved;
}

} // namespace

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string NormaliseOutputPath(const std::string& path)
{
    if (path.empty())
        throw std::runtime_error("no output path given");
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    // A name that only points elsewhere ("dir/..", ".", "/") stands for an
    // existing folder: resolve it whole.
    if (name.empty() || name == "." || name == "..") {
        const std::string resolved = RealPath(trimmed);
        if (resolved == "/")
            throw std::runtime_error("cannot write the root folder");
        return resolved;
    }
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : trimmed.substr(0, slash);
    const std::string folder = RealPath(parent);
    return (folder == "/" ? "" : folder) + "/" + name;
}

namespace {
std::string ScratchTag() { return ".partial-" + std::to_string(getpid()); }
} // namespace

std::string ScratchFolderPath(const std::string& path) { return path + ScratchTag(); }

std::string ScratchFilePath(const std::string& path, const std::string& defaultExtension)
{
    const std::string tag = ScratchTag();
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (hasExtension)
        return path.substr(0, dot) + tag + path.substr(dot);
    return path + tag + defaultExtension;
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsEmptyFolder(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    bool empty = true;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    closedir(dir);
    return empty;
}

void RemoveFlatFolder(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (dir) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            const std::string entryPath = path + "/" + entry->d_name;
            if (unlink(entryPath.c_str()) != 0)
                rmdir(entryPath.c_str()); // an empty folder standing where a frame was to go
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

} // namespace Render
