#pragma once
// Where the show's files are. The program names them as "data/..." (the
// texture registry and the debug lines keep those names); the folder that
// holds them is found once at start, and a name is mapped onto it only where
// the file is actually opened.
#include <string>
#include <vector>

namespace Platform {

class DataFolder {
public:
    // The working folder's data/: names are opened exactly as they are.
    DataFolder() = default;
    // Another folder holding the contents of data/.
    explicit DataFolder(std::string folder) : folder(std::move(folder)) {}

    // The path to open for one of the show's names ("data/loader/loading.png");
    // a name outside data/ is left as it is.
    std::string Path(const std::string& name) const;
    // Where the files are, for messages: "data" or the folder's path.
    std::string Where() const { return folder.empty() ? "data" : folder; }

private:
    std::string folder; // empty: the working folder's data/
};

// The places the data may be, in the order they are tried.
struct DataPlaces {
    std::string workingFolder;   // where the program was started; its data/ is tried first
    std::string installedFolder; // the installed data folder (<prefix>/share/ruvo); empty if unknown
    std::string programFolder;   // the folder of the running program; its data/ is tried last
};

// The places of this process: its working folder, the installed data folder
// (where the install put it relative to the program's own folder) and the
// program's own folder (from /proc/self/exe).
DataPlaces ThisProgramsDataPlaces();

// The first place that holds sound.mp3 (a folder without it, say an
// unrelated ~/data, is passed over). Throws std::runtime_error naming every
// place it looked when none does.
DataFolder FindDataFolder(const DataPlaces& places);

// The folder the show's files are opened from for the rest of the run (the
// working folder's data/ until set).
void UseDataFolder(const DataFolder& folder);
std::string DataPath(const std::string& name);

// What every front end does once at start: find the data and use it.
void FindShowData();

} // namespace Platform
