#include "platform/DataFolder.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <stdexcept>

using Platform::DataFolder;
using Platform::DataPlaces;
using Platform::FindDataFolder;

namespace {

std::string FailureOf(const DataPlaces& places)
{
    try {
        FindDataFolder(places);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no failure";
}

} // namespace

// The working folder's data/ first, then the installed folder, then data/
// beside the program; a folder counts only when it holds the soundtrack.
TEST(DataFolder, TriesThePlacesInOrderAndNamesThemAllWhenNoneHoldsTheData)
{
    TestSupport::TestData scratch;
    const std::string root = scratch.Root();
    const DataPlaces places{root + "/work", root + "/share/ruvo", root + "/games"};
    scratch.WriteText("work/data/sound.mp3", "");
    scratch.WriteText("share/ruvo/sound.mp3", "");
    scratch.WriteText("games/data/sound.mp3", "");
    EXPECT_EQ(FindDataFolder(places).Where(), "data");

    // A data/ that has nothing of the show (a home folder's) is passed over.
    std::remove((root + "/work/data/sound.mp3").c_str());
    scratch.WriteText("work/data/notes.txt", "");
    EXPECT_EQ(FindDataFolder(places).Where(), root + "/share/ruvo");
    std::remove((root + "/share/ruvo/sound.mp3").c_str());
    EXPECT_EQ(FindDataFolder(places).Where(), root + "/games/data");

    std::remove((root + "/games/data/sound.mp3").c_str());
    EXPECT_EQ(FailureOf(places), "The show's data was not found: looked for sound.mp3 in data/ (working folder " +
                                     root + "/work), " + root + "/share/ruvo, " + root + "/games/data");
}

TEST(DataFolder, MapsOnlyTheShowsNamesOntoTheFolderFound)
{
    const DataFolder installed("/usr/share/ruvo");
    EXPECT_EQ(installed.Path("data/loader/loading.png"), "/usr/share/ruvo/loader/loading.png");
    EXPECT_EQ(installed.Path("/tmp/picture.bmp"), "/tmp/picture.bmp");
    EXPECT_EQ(installed.Path("database.txt"), "database.txt");
    // Found in the working folder: names are opened exactly as before.
    EXPECT_EQ(DataFolder().Path("data/loader/loading.png"), "data/loader/loading.png");
}

// The program's folder comes from the running binary, and the installed
// folder beside it is named without "..", as the message shows it.
TEST(DataFolder, PlacesOfThisProgramAreItsOwnFolders)
{
    const DataPlaces places = Platform::ThisProgramsDataPlaces();
    EXPECT_EQ(places.programFolder, RUVO_BINARY_DIR "/tests");
    EXPECT_EQ(places.installedFolder.compare(0, 1, "/"), 0);
    EXPECT_EQ(places.installedFolder.find(".."), std::string::npos) << places.installedFolder;
}
