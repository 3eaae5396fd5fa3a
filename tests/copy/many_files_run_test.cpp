// Runs of many files into one folder: the destination names are looked up without listing the
// folder for each file, which would make the run's cost grow with the square of the files.
#include "copy/copy_run.h"

#include "copy_fixture.h"

#include "platform/name_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using copytest::CopyFixture;

struct ManyFilesRunTest : CopyFixture {
    // `count` one-byte sources in "in", each planned as "D:\out\<dest name>".
    void addFiles(int count, const std::function<std::string(int)>& destName) {
        for (int i = 0; i < count; ++i) {
            std::string name = "t" + std::to_string(i) + ".mp3";
            drive.writeFile("in/" + name, "x");
            addEntry("D:\\in\\" + name, "D:\\out\\" + destName(i));
        }
    }
    size_t filesIn(const char* folder) const {
        auto entries = std::filesystem::directory_iterator(drive.hostPath(folder));
        return static_cast<size_t>(std::distance(entries, std::filesystem::directory_iterator()));
    }
};

// 2,000 files into one folder list it a few times in all, not once or more per file, in each mode.
TEST_F(ManyFilesRunTest, FolderListingsDoNotGrowWithTheFiles) {
    addFiles(2000, [](int i) { return "T" + std::to_string(i) + ".MP3"; });
    for (auto mode : {copy::TransferOwnCopy, copy::TransferSystemCopy}) {
        std::filesystem::remove_all(drive.hostPath("out"));
        uint64_t before = platform::folderListingCount();
        copy::CopyRun({mode, copy::ExistRename, false, "D:\\out"}, listDb, run, display);
        EXPECT_LE(platform::folderListingCount() - before, 10u) << mode;
        EXPECT_EQ(run.CopiedCount, 2000) << mode;
        EXPECT_EQ(filesIn("out"), 2000u) << mode;
    }
}

// Many files planned under one name get the numbers 1, 2, ... in turn, without a listing per
// number tried.
TEST_F(ManyFilesRunTest, NumberedNamesDoNotRescanTheFolder) {
    addFiles(300, [](int) { return std::string("Song.mp3"); });
    uint64_t before = platform::folderListingCount();
    copy::CopyRun({copy::TransferSystemCopy, copy::ExistRename, false, "D:\\out"}, listDb, run, display);
    EXPECT_LE(platform::folderListingCount() - before, 10u);
    EXPECT_EQ(run.CopiedCount, 300);
    EXPECT_TRUE(drive.exists("out/Song.mp3"));
    EXPECT_TRUE(drive.exists("out/Song (299).mp3"));
    EXPECT_EQ(filesIn("out"), 300u);
}

} // namespace
