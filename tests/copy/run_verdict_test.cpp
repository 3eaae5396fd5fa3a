// What a run reports and leaves when the disk or another program works against it: a name taken
// while an entry is copied, destinations that refuse the copy (each with its reason), the
// summary that ends every run, and the partial files an earlier, killed run left behind.
#include "copy/copy_run.h"

#include "copy_fixture.h"

#include "platform/drives.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

using copytest::CopyFixture;
using testsupport::filesUnder;
using testsupport::patternBytes;
using Lines = std::vector<std::string>;

const std::string Big = patternBytes(300000, 1);

std::string summary(int copied, int skipped, int failed, int missing, const char* verb = "Скопировано") {
    return verb + (": " + std::to_string(copied)) + ", пропущено: " + std::to_string(skipped) +
           ", с ошибками: " + std::to_string(failed) + ", не найдено: " + std::to_string(missing);
}

struct RunVerdictTest : CopyFixture {
    void run(copy::TransferMode mode, copy::ExistAction policy, const std::string& destFolder = "D:\\out") {
        copy::CopyOptions options{mode, policy, false, destFolder};
        copy::CopyRun(options, listDb, run_, display,
                      [](char, std::string_view) { return int64_t{1} << 40; });
    }
    // The log from the transfers' title on.
    Lines transferLog() const {
        auto start = std::find_if(view.log.begin(), view.log.end(), [](const std::string& line) {
            return line == "Копирование:" || line == "Перемещение:";
        });
        return Lines(start, view.log.end());
    }
    copy::RunState& run_ = CopyFixture::run;
};

// A name that another program takes while the entry is copied to it is never replaced under the
// numbered-name and skip policies: the policy applies once more (the next numbered name, or the
// entry is skipped), in both copy modes. Only overwrite replaces.
TEST_F(RunVerdictTest, NameTakenDuringTheCopyGetsThePolicyAgain) {
    const std::string theirs = "another program's file";
    struct Case {
        copy::ExistAction policy;
        Lines log;    // after "  Копирование -> D:\out\1.mp3 ..."
        Lines folder; // out/ afterwards
        std::string atName;
    };
    const Case cases[] = {
        {.policy = copy::ExistRename,
         .log = {"  Файл \"1.mp3\" уже существует: переименование в \"1 (1).mp3\"", "",
                 "Копирование завершено.", summary(1, 0, 0, 0)},
         .folder = {"1 (1).mp3", "1.mp3"},
         .atName = theirs},
        {.policy = copy::ExistSkip,
         .log = {"  Файл \"1.mp3\" уже существует: пропуск файла", "", "Копирование завершено.",
                 summary(0, 1, 0, 0)},
         .folder = {"1.mp3"},
         .atName = theirs},
        {.policy = copy::ExistOverwrite,
         .log = {"", "Копирование завершено.", summary(1, 0, 0, 0)},
         .folder = {"1.mp3"},
         .atName = Big},
    };
    drive.writeFile("src/1.mp3", Big);
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
    for (copy::TransferMode mode : {copy::TransferOwnCopy, copy::TransferSystemCopy}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(c.policy));
            std::filesystem::remove_all(drive.hostPath("out"));
            whenLogEndsWith("  Копирование -> $D/out/1.mp3 ...",
                            [&] { drive.writeFile("out/1.mp3", theirs); });
            run(mode, c.policy);
            Lines expected = onHost(Lines{"Копирование:", "  Копирование -> $D/out/1.mp3 ..."});
            expected.insert(expected.end(), c.log.begin(), c.log.end());
            EXPECT_EQ(transferLog(), expected);
            EXPECT_EQ(filesUnder(drive, "out"), c.folder);
            EXPECT_TRUE(drive.readFile("out/1.mp3") == c.atName);
            if (c.policy == copy::ExistRename) {
                EXPECT_TRUE(drive.readFile("out/1 (1).mp3") == Big);
            }
        }
    }
}

// A destination that refuses the copy fails the entry with the system's reason in words, and the
// summary that ends the log, also shown as the progress page's title, counts it as an error.
TEST_F(RunVerdictTest, RefusedDestinationsGiveTheirReason) {
    // Each folder name fits the volume, the whole path does not fit the host (4096 bytes).
    std::string longPath = "D:\\out";
    for (int level = 0; level < 17; ++level) {
        longPath += "\\" + std::string(250, 'a');
    }
    struct Case {
        const char* name;
        std::string dest;
        std::string ownLine;    // the own copy's error line
        std::string systemLine; // the system copy's
    };
    const Case cases[] = {
        {"path too long", longPath + "\\1.mp3",
         "Внешняя ошибка Tunewagon:Copy:2 - ошибка при открытии файла приемника: слишком длинное имя",
         "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: слишком длинное имя"},
        {"folder is a file", "D:\\file\\1.mp3",
         "Внешняя ошибка Tunewagon:Copy:2 - ошибка при открытии файла приемника: часть пути - файл, а не "
         "папка",
         "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: часть пути - файл, а не папка"},
    };
    drive.writeFile("src/1.mp3", "one");
    drive.writeFile("file", "a file where a folder should be");
    for (const Case& c : cases) {
        for (copy::TransferMode mode : {copy::TransferOwnCopy, copy::TransferSystemCopy}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(mode));
            store::rebuildTrackList(listDb);
            addEntry("D:\\src\\1.mp3", c.dest);
            run(mode, copy::ExistRename);
            ASSERT_GE(view.log.size(), 4u);
            EXPECT_EQ(view.log[view.log.size() - 4],
                      mode == copy::TransferOwnCopy ? c.ownLine : c.systemLine);
            EXPECT_EQ(view.log.back(), summary(0, 0, 1, 0));
            EXPECT_EQ(view.phaseTitles.back(), summary(0, 0, 1, 0));
            EXPECT_EQ(run_.FailedCount, 1);
        }
    }
}

// A read-only medium as the destination: a small tmpfs mounted read-only (needs the right to
// mount, which root has).
TEST_F(RunVerdictTest, ReadOnlyDestinationGivesItsReason) {
    std::string folder = drive.hostPath("ro");
    drive.makeFolder("ro");
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
    }
    std::filesystem::create_directory(folder + "/out");
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    drive.writeFile("src/1.mp3", "one");
    addEntry("D:\\src\\1.mp3", "D:\\ro\\out\\1.mp3");
    run(copy::TransferSystemCopy, copy::ExistRename, "D:\\ro\\out");
    ::umount(folder.c_str());
    EXPECT_EQ(
        transferLog(),
        onHost(Lines{
            "Копирование:", "  Копирование -> $D/ro/out/1.mp3 ...",
            "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: файловая система доступна "
            "только для чтения",
            "", "Копирование завершено.", summary(0, 0, 1, 0)}));
}

// A disk that cannot hold the file stops the own copy before its first byte: the room is taken
// up front, so the file bar never moves, no partial file stays, and the reason is a full disk.
TEST_F(RunVerdictTest, FullDiskStopsTheOwnCopyBeforeItsFirstByte) {
    std::string folder = drive.hostPath("small");
    drive.makeFolder("small");
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
    }
    struct Unmount {
        std::string folder;
        ~Unmount() { ::umount(folder.c_str()); }
    } unmount{folder};
    drive.writeFile("src/1.mp3", patternBytes(1 << 20, 3));
    addEntry("D:\\src\\1.mp3", "D:\\small\\1.mp3");
    run(copy::TransferOwnCopy, copy::ExistRename, "D:\\small");
    EXPECT_EQ(transferLog(),
              onHost(Lines{
                  "Копирование:", "  Копирование -> $D/small/1.mp3 ...",
                  "Внешняя ошибка Tunewagon:Copy:4 - ошибка при записи файла приемника: нет места на диске",
                  "", "Копирование завершено.", summary(0, 0, 1, 0)}));
    EXPECT_TRUE(std::all_of(view.filePositions.begin(), view.filePositions.end(), [](int position) {
        return position == 0 || position == 1000;
    })) << testing::PrintToString(view.filePositions);
    EXPECT_EQ(filesUnder(drive, "small"), Lines{});
}

// A move to another volume whose source cannot be removed keeps both files and says why; the
// entry counts as an error, since the file the user asked to move is still where it was (the
// run then ends with exit code 4 in the command line).
TEST_F(RunVerdictTest, MoveThatMustKeepItsSourceSaysSo) {
    std::string other = "/dev/shm/tw-verdict-XXXXXX";
    if (::mkdtemp(other.data()) == nullptr) {
        GTEST_SKIP() << "no /dev/shm here";
    }
    struct RemoveAtEnd {
        std::string path;
        ~RemoveAtEnd() { std::filesystem::remove_all(path); }
    } removeAtEnd{other};
    struct stat here {
    }, there{};
    ::stat(drive.hostRoot().c_str(), &here);
    ::stat(other.c_str(), &there);
    if (here.st_dev == there.st_dev) {
        GTEST_SKIP() << "/dev/shm is not a volume of its own here";
    }
    testsupport::SavedDriveTable savedTable;
    platform::mountDrive('F', other);
    drive.writeFile("src/1.mp3", "one");
    addEntry("D:\\src\\1.mp3", "F:\\out\\1.mp3");
    {
        testsupport::RemovalRefused refusal(drive.hostPath("src"));
        if (!refusal.effective()) {
            GTEST_SKIP() << "root on a file system without the append-only flag removes anyway";
        }
        run(copy::TransferSystemMove, copy::ExistRename, "F:\\out");
    }
    EXPECT_EQ(transferLog(), (Lines{"Перемещение:", "  Перемещение -> " + other + "/out/1.mp3 ...",
                                    "  Файл скопирован, но не перемещён: доступ запрещён", "",
                                    "Копирование завершено.", summary(0, 0, 1, 0, "Перемещено")}));
    EXPECT_EQ(drive.readFile("src/1.mp3"), "one");
    std::ifstream copied(other + "/out/1.mp3");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "one");
}

// Entries without a source count as not found; a run with nothing but successes ends clean.
TEST_F(RunVerdictTest, SummaryCountsEveryEntry) {
    drive.writeFile("src/1.mp3", "one");
    drive.writeFile("src/2.mp3", "two");
    drive.writeFile("out/2.mp3", "kept");
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3");
    addEntry("D:\\src\\3.mp3", "D:\\out\\3.mp3");
    run(copy::TransferOwnCopy, copy::ExistSkip);
    EXPECT_EQ(view.log.back(), summary(1, 1, 0, 1));
    EXPECT_EQ(view.phaseTitles.back(), summary(1, 1, 0, 1));
}

// Partial files that a killed run left (no process holds them) go when a run writes into their
// folder; one in a folder the run does not write to stays.
TEST_F(RunVerdictTest, AbandonedPartialFilesGoWithTheNextRun) {
    drive.writeFile("src/1.mp3", "one");
    drive.writeFile("out/A/.1.mp3.tw-partial-Ab12Cd", "half of an earlier copy");
    drive.writeFile("out/.2.mp3.tw-partial-Zz9876", "half of an earlier copy");
    drive.writeFile("other/.3.mp3.tw-partial-Qq1234", "not in the run's folders");
    addEntry("D:\\src\\1.mp3", "D:\\out\\A\\1.mp3");
    run(copy::TransferSystemCopy, copy::ExistRename);
    EXPECT_EQ(filesUnder(drive, "out"), (Lines{"A/", "A/1.mp3"}));
    EXPECT_EQ(filesUnder(drive, "other"), (Lines{".3.mp3.tw-partial-Qq1234"}));
}

} // namespace
