#include "render/OutputPath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

bool IsSymbolicLink(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The mount id, where the system headers know it.
#ifdef STATX_MNT_ID
const unsigned mountIdMask = STATX_MNT_ID;
#else
const unsigned mountIdMask = 0;
#endif

// Whether `path` (absolute, plain, not the root) is another file system's
// root, or a file or folder mounted in place: renames onto it fail with
// EBUSY or EXDEV. A bind mount of the same file system shows only in the
// mount id; kernels before Linux 5.8 give none, and then only the device
// tells.
bool IsMountPoint(const std::string& path)
{
    const std::string parent = path.substr(0, std::max<size_t>(path.rfind('/'), 1));
    struct statx own, above;
    const unsigned asked = STATX_INO | mountIdMask;
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, asked, &own) != 0 ||
        statx(AT_FDCWD, parent.c_str(), AT_SYMLINK_NOFOLLOW, asked, &above) != 0)
        return false;
#ifdef STATX_MNT_ID
    if (own.stx_mask & above.stx_mask & STATX_MNT_ID)
        return own.stx_mnt_id != above.stx_mnt_id;
#endif
    return own.stx_dev_major != above.stx_dev_major || own.stx_dev_minor != above.stx_dev_minor;
}

// The name the output takes, its links followed.
std::string PlainOutputPath(const std::string& path)
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
    if (name.empty() || name == "." || name == "..")
        return RealPath(trimmed);
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : trimmed.substr(0, slash);
    const std::string folder = RealPath(parent);
    const std::string joined = (folder == "/" ? "" : folder) + "/" + name;
    // A link stands for what it names, as the links in the folders above do:
    // the output takes the place of that, beside it.
    if (!IsSymbolicLink(joined))
        return joined;
    char resolved[PATH_MAX];
    if (!realpath(joined.c_str(), resolved))
        throw std::runtime_error(path + " is a symbolic link to nothing that exists: name the file or folder to write");
    return resolved;
}

// Names NAME.partial-PID, NAME.partial-PID-2, ... (each followed by
// `extension`) until `make` creates one that did not exist.
const int scratchNamesTried = 100;

template <class Make> std::string CreateScratch(const std::string& stem, const std::string& extension, Make make)
{
    const std::string tag = stem + ".partial-" + std::to_string(getpid());
    for (int attempt = 1; attempt <= scratchNamesTried; ++attempt) {
        const std::string name = tag + (attempt > 1 ? "-" + std::to_string(attempt) : "") + extension;
        if (make(name.c_str()))
            return name;
        if (errno != EEXIST)
            throw std::runtime_error(SystemError("cannot create " + name));
    }
    throw std::runtime_error("cannot create " + tag + extension + ": " + std::to_string(scratchNamesTried) +
                             " names of that form are taken");
}

} // namespace

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string NormaliseOutputPath(const std::string& path)
{
    const std::string plain = PlainOutputPath(path);
    if (plain == "/")
        throw std::runtime_error("cannot write the root folder");
    if (IsMountPoint(plain))
        throw std::runtime_error(path + " is a mount point, which no output can take the place of: name a folder or " +
                                 "file inside it");
    return plain;
}

std::string CreateScratchFolder(const std::string& path)
{
    return CreateScratch(path, "", [](const char* name) { return mkdir(name, 0755) == 0; });
}

std::string CreateScratchFile(const std::string& path, const std::string& defaultExtension)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return CreateScratch(hasExtension ? path.substr(0, dot) : path, hasExtension ? path.substr(dot) : defaultExtension,
                         [](const char* name) {
                             // O_EXCL: an existing file, or a link, is never opened.
                             const int file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                             if (file < 0)
                                 return false;
                             close(file);
                             return true;
                         });
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
