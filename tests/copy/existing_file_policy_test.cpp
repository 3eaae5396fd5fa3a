// The existing-file policy: the numbered names and the step with its log line.
#include "copy/existing_file_policy.h"

#include "support/recording_progress.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testsupport::TempDrive;

// The first free number, whatever else is there.
TEST(UniqueName, FirstFreeNumber) {
    struct Case {
        std::vector<const char*> present;
        const char* path;
        const char* expected;
    } cases[] = {
        {{"Music/Song.mp3"}, "D:\\Music\\Song.mp3", "D:\\Music\\Song (1).mp3"},
        {{"Music/Song.mp3", "Music/Song (1).mp3"}, "D:\\Music\\Song.mp3", "D:\\Music\\Song (2).mp3"},
        {{"Music/Song (1).mp3", "Music/Song (3).mp3"}, "D:\\Music\\Song.mp3", "D:\\Music\\Song (2).mp3"},
        {{"Music/Song"}, "D:\\Music\\Song", "D:\\Music\\Song (1)"},
        {{"Music/a.b.mp3"}, "D:\\Music\\a.b.mp3", "D:\\Music\\a.b (1).mp3"},
        {{"Music/Song (1).mp3"}, "D:\\Music\\Song (1).mp3", "D:\\Music\\Song (1) (1).mp3"},
        // A dot in a folder name is no extension.
        {{"My.Music/Song"}, "D:\\My.Music\\Song", "D:\\My.Music\\Song (1)"},
        // Taken without regard to letter case, as the file system of the design does.
        {{"Music/SONG (1).MP3"}, "D:\\Music\\Song.mp3", "D:\\Music\\Song (2).mp3"},
    };
    for (const Case& c : cases) {
        TempDrive drive('D');
        for (const char* file : c.present) {
            drive.writeFile(file, "x");
        }
        EXPECT_EQ(copy::UniqueName(c.path), c.expected) << c.path;
    }
}

// A folder of the numbered name does not count as taken.
TEST(UniqueName, FolderDoesNotTakeTheName) {
    TempDrive drive('D');
    drive.writeFile("Song.mp3", "x");
    drive.makeFolder("Song (1).mp3");
    EXPECT_EQ(copy::UniqueName("D:\\Song.mp3"), "D:\\Song (1).mp3");
}

// Each policy: its log line, the destination it leaves and whether the entry goes on.
TEST(ApplyExistAction, ThreePoliciesAndNoSelection) {
    struct Case {
        int action;
        const char* line; // "" for none
        const char* dest;
        bool goOn;
    } cases[] = {
        {copy::ExistOverwrite, "  Файл \"Song.mp3\" уже существует: перезапись файла", "D:\\Music\\Song.mp3",
         true},
        {copy::ExistRename, "  Файл \"Song.mp3\" уже существует: переименование в \"Song (1).mp3\"",
         "D:\\Music\\Song (1).mp3", true},
        {copy::ExistSkip, "  Файл \"Song.mp3\" уже существует: пропуск файла", "D:\\Music\\Song.mp3", false},
        // No selection (a damaged setting) never replaces the file unasked.
        {-1, "  Файл \"Song.mp3\" уже существует: переименование в \"Song (1).mp3\"",
         "D:\\Music\\Song (1).mp3", true},
    };
    TempDrive drive('D');
    drive.writeFile("Music/Song.mp3", "old");
    for (const Case& c : cases) {
        copy::ShellFlags shell;
        copy::RunState run(shell);
        testsupport::RecordingProgress view;
        testsupport::ManualClock clock;
        copy::ProgressDisplay display(view, clock, run);
        std::string dest = "D:\\Music\\Song.mp3";
        copy::applyExistAction(copy::existActionFromIndex(c.action), dest, run, display);
        std::vector<std::string> expectedLog;
        if (*c.line != '\0') {
            expectedLog.push_back(c.line);
        }
        EXPECT_EQ(view.log, expectedLog) << c.action;
        EXPECT_EQ(dest, c.dest);
        EXPECT_EQ(run.FileGoOn, c.goOn);
    }
    EXPECT_EQ(drive.readFile("Music/Song.mp3"), "old");
    EXPECT_FALSE(drive.exists("Music/Song (1).mp3"));
}

} // namespace
