#include "sources/tail_search.h"

#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct TailCase {
    const char* what;
    std::string playlistFolder;
    std::vector<std::string> files; // on D:
    std::string missing;
    std::optional<std::string> found;
};

// In the playlist's own folder any tail of the line finds its file, the file name alone too;
// above it only a tail of the file name and at least two of its folders does, so another
// artist's "Greatest Hits\01.mp3" a level up is not taken for the line's.
TEST(TailSearch, AboveThePlaylistsFolderATailNeedsTwoFolders) {
    const TailCase cases[] = {
        {.what = "file name alone, beside the playlist",
         .playlistFolder = "D:\\Lists",
         .files = {"Lists/01.mp3"},
         .missing = "E:\\Old\\01.mp3",
         .found = "D:\\Lists\\01.mp3"},
        {.what = "one folder, below the playlist",
         .playlistFolder = "D:\\Lists",
         .files = {"Lists/Album/01.mp3"},
         .missing = "E:\\Old\\Album\\01.mp3",
         .found = "D:\\Lists\\Album\\01.mp3"},
        {.what = "one folder, a level up",
         .playlistFolder = "D:\\ArtistB\\Lists",
         .files = {"ArtistB/Greatest Hits/01.mp3"},
         .missing = "E:\\Music\\ArtistA\\Greatest Hits\\01.mp3",
         .found = std::nullopt},
        {.what = "file name alone, a level up",
         .playlistFolder = "D:\\Music\\Lists",
         .files = {"Music/01.mp3"},
         .missing = "E:\\Music\\01.mp3",
         .found = std::nullopt},
        {.what = "two folders, two levels up, beside a wrong one-folder tail",
         .playlistFolder = "D:\\ArtistB\\Lists",
         .files = {"ArtistB/Greatest Hits/01.mp3", "ArtistA/Greatest Hits/01.mp3"},
         .missing = "E:\\Music\\ArtistA\\Greatest Hits\\01.mp3",
         .found = "D:\\ArtistA\\Greatest Hits\\01.mp3"},
        {.what = "two folders, four levels up",
         .playlistFolder = "D:\\a\\b\\c\\Lists",
         .files = {"Rock/Album/01.mp3"},
         .missing = "E:\\Rock\\Album\\01.mp3",
         .found = "D:\\Rock\\Album\\01.mp3"},
    };
    for (const TailCase& c : cases) {
        testsupport::TempDrive drive{'D'};
        drive.makeFolder(drive.hostPath(c.playlistFolder.substr(3)));
        for (const std::string& file : c.files) {
            drive.writeFile(file, "x");
        }
        sources::TailSearch search(c.playlistFolder);
        EXPECT_EQ(search.find(c.missing), c.found) << c.what;
    }
}

} // namespace
