#include "platform/files.h"
#include "platform/name_index.h"
#include "platform/transfer.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using testsupport::TempDrive;
namespace fs = std::filesystem;

// Names found without regard to case, hits and misses alike, come from one listing of the folder.
TEST(NameIndexTest, LookupsInOneFolderListItOnce) {
    TempDrive d;
    for (int i = 0; i < 200; ++i) {
        d.writeFile("Music/Track " + std::to_string(i) + ".mp3", "x");
    }
    uint64_t before = platform::folderListingCount();
    for (int i = 0; i < 200; ++i) {
        std::string name = "D:\\Music\\TRACK " + std::to_string(i);
        EXPECT_TRUE(platform::fileExists(name + ".MP3")) << name;
        EXPECT_FALSE(platform::fileExists(name + ".ogg")) << name;
    }
    EXPECT_EQ(platform::folderListingCount() - before, 1u);
}

// What other programs do to a folder after it was indexed is seen at the next lookup.
TEST(NameIndexTest, ChangesByOthersAreSeen) {
    struct Case {
        const char* what;
        std::function<void(const TempDrive&)> change;
        const char* lookedUp;
        bool exists;
    };
    const Case cases[] = {
        {"file added", [](const TempDrive& d) { d.writeFile("Music/New.MP3"); }, "D:\\Music\\new.mp3", true},
        {"file removed", [](const TempDrive& d) { fs::remove(d.hostPath("Music/Old.mp3")); },
         "D:\\Music\\OLD.MP3", false},
        {"file renamed, new name",
         [](const TempDrive& d) { fs::rename(d.hostPath("Music/Old.mp3"), d.hostPath("Music/Other.mp3")); },
         "D:\\Music\\OTHER.mp3", true},
        {"file renamed, old name",
         [](const TempDrive& d) { fs::rename(d.hostPath("Music/Old.mp3"), d.hostPath("Music/Other.mp3")); },
         "D:\\Music\\OLD.mp3", false},
        {"folder replaced by another of that name",
         [](const TempDrive& d) {
             fs::rename(d.hostPath("Music"), d.hostPath("Gone"));
             d.writeFile("Music/Fresh.mp3");
         },
         "D:\\Music\\FRESH.mp3", true},
    };
    for (const auto& c : cases) {
        TempDrive d;
        d.writeFile("Music/Old.mp3");
        ASSERT_FALSE(platform::fileExists("D:\\Music\\NEW.mp3")); // builds the index
        ASSERT_FALSE(platform::fileExists("D:\\Music\\fresh.MP3"));
        c.change(d);
        EXPECT_EQ(platform::fileExists(c.lookedUp), c.exists) << c.what;
    }
}

// The program's own creates, renames and deletes keep the index current: lookups see them and
// the folder is not listed again.
TEST(NameIndexTest, OwnChangesKeepTheIndexCurrent) {
    TempDrive d;
    d.writeFile("src.mp3", "data");
    d.writeFile("Out/Old.mp3", "old");
    ASSERT_FALSE(platform::fileExists("D:\\Out\\COPY.MP3")); // indexes both folders
    ASSERT_FALSE(platform::fileExists("D:\\MISSING.mp3"));
    uint64_t before = platform::folderListingCount();

    ASSERT_TRUE(platform::systemCopy("D:\\src.mp3", "D:\\Out\\Copy.mp3", {}, nullptr));
    EXPECT_TRUE(platform::fileExists("D:\\Out\\COPY.MP3"));
    ASSERT_EQ(platform::systemMove("D:\\Out\\Copy.mp3", "D:\\Out\\Moved.mp3"), platform::MoveResult::Moved);
    EXPECT_FALSE(platform::fileExists("D:\\Out\\COPY.MP3"));
    EXPECT_TRUE(platform::fileExists("D:\\Out\\MOVED.mp3"));
    ASSERT_TRUE(platform::deleteFile("D:\\Out\\old.MP3"));
    EXPECT_FALSE(platform::fileExists("D:\\Out\\OLD.mp3"));
    ASSERT_TRUE(platform::forceFolders("D:\\Out\\Sub"));
    EXPECT_TRUE(platform::folderExists("D:\\Out\\SUB"));
    // A copy that fails leaves no partial file behind in the index either.
    EXPECT_FALSE(platform::systemCopy("D:\\missing.mp3", "D:\\Out\\Never.mp3", {}, nullptr));
    EXPECT_FALSE(platform::fileExists("D:\\Out\\NEVER.mp3"));

    EXPECT_EQ(platform::folderListingCount() - before, 0u);
    EXPECT_EQ(d.readFile("Out/Moved.mp3"), "data");
    EXPECT_FALSE(d.exists("Out/Old.mp3"));
}

// Numbered names skip files of any spelling and links to files, but not folders.
TEST(NameIndexTest, FirstFreeNumberedPath) {
    TempDrive d;
    d.writeFile("Song.mp3");
    d.writeFile("target.mp3");
    fs::create_symlink(d.hostPath("target.mp3"), d.hostPath("SONG (1).Mp3"));
    d.makeFolder("Song (2).mp3");
    d.writeFile("Other/x.mp3");
    d.writeFile("Other/X (1).MP3");
    d.writeFile("Other/x (2).mp3");
    EXPECT_EQ(platform::firstFreeNumberedPath("D:\\Song", ".mp3"), "D:\\Song (2).mp3");
    EXPECT_EQ(platform::firstFreeNumberedPath("D:\\Other\\x", ".mp3"), "D:\\Other\\x (3).mp3");
    EXPECT_EQ(platform::firstFreeNumberedPath("D:\\Missing\\x", ".mp3"), "D:\\Missing\\x (1).mp3");
}

} // namespace
