#include "platform/DataFolder.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

const char dataPrefix[] = "data/";
const char markerFile[] = "sound.mp3";

DataFolder current;

// Any entry by that name counts: a damaged or unreadable sound.mp3 is still
// the one the viewer meant, and its fault is reported when it is opened.
bool HoldsData(const std::string& folder)
{
    struct stat entry;
    return lstat((folder + "/" + markerFile).c_str(), &entry) == 0;
}

// `relative` taken from the absolute `folder` by the names alone, so that a
// message shows /usr/share/ruvo rather than /usr/games/../share/ruvo.
std::string Join(std::string folder, const std::string& relative)
{
    if (relative.compare(0, 1, "/") == 0)
        return relative;
    size_t at = 0;
    while (relative.compare(at, 3, "../") == 0) {
        const size_t slash = folder.rfind('/');
        folder.erase(slash == 0 || slash == std::string::npos ? 1 : slash); // the root has no parent
        at += 3;
    }
    return (folder == "/" ? "" : folder) + "/" + relative.substr(at);
}

std::string OrUnknown(const std::string& folder) { return folder.empty() ? "(unknown)" : folder; }

} // namespace

std::string DataFolder::Path(const std::string& name) const
{
    if (folder.empty() || name.compare(0, sizeof dataPrefix - 1, dataPrefix) != 0)
        return name;
    return folder + "/" + name.substr(sizeof dataPrefix - 1);
}

DataPlaces ThisProgramsDataPlaces()
{
    DataPlaces places;
    char path[PATH_MAX];
    if (getcwd(path, sizeof path))
        places.workingFolder = path;
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        const std::string program(path, static_cast<size_t>(length));
        places.programFolder = program.substr(0, std::max<size_t>(program.rfind('/'), 1));
        // Where the install puts the data relative to the programs (the build
        // sets it, ../share/ruvo from games/): relative, so that an install
        // under any prefix finds its own data without being built again.
        places.installedFolder = Join(places.programFolder, RUVO_INSTALLED_DATA_FROM_PROGRAM);
    }
    return places;
}

DataFolder FindDataFolder(const DataPlaces& places)
{
    // The working folder's data/ is opened by its relative name, so that
    // paths stay exactly those of a run from the build folder.
    if (HoldsData(places.workingFolder.empty() ? "data" : places.workingFolder + "/data"))
        return DataFolder();
    const std::string besideProgram = places.programFolder.empty() ? "" : Join(places.programFolder, "data");
    for (const std::string& folder : {places.installedFolder, besideProgram}) {
        if (!folder.empty() && HoldsData(folder))
            return DataFolder(folder);
    }
    throw std::runtime_error(std::string("The show's data was not found: looked for ") + markerFile +
                             " in data/ (working folder " + OrUnknown(places.workingFolder) + "), " +
                             OrUnknown(places.installedFolder) + ", " + OrUnknown(besideProgram));
}

void UseDataFolder(const DataFolder& folder) { current = folder; }

std::string DataPath(const std::string& name) { return current.Path(name); }

void FindShowData() { UseDataFolder(FindDataFolder(ThisProgramsDataPlaces())); }

} // namespace Platform
