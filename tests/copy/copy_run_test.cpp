// The copy run end to end on drive D:: the log line for line, the message boxes, the files on
// the disk afterwards (sources and destinations, hidden leftovers included) and the counters.
#include "copy/copy_run.h"

#include "copy_fixture.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <unistd.h>

namespace {

using copytest::CopyFixture;
using testsupport::patternBytes;
using Lines = std::vector<std::string>;
// Every file and folder on the drive afterwards: file -> content, folder ("out/") -> "".
using Disk = std::map<std::string, std::string>;

const std::string Big1 = patternBytes(300000, 1);
const std::string Big2 = patternBytes(300000, 2);

enum class Act { None, Skip, Cancel, ShrinkSource };

struct Entry {
    const char* source;
    const char* dest;
    int64_t size = -1; // as the source stage left it
};

struct RunCase {
    const char* name;
    Disk before; // files only; their folders are made with them
    std::vector<Entry> entries;
    copy::CopyOptions options;
    std::optional<int64_t> freeBytes; // the free-space hook's answer; nullopt: the platform's
    const char* trigger = "";         // once the log ends with this line...
    Act act = Act::None;              // ...this happens from the window
    const char* actOn = "";           // the file ShrinkSource cuts
    Lines log;
    Lines messages;
    Disk after;
    int64_t doneBytes = 0;
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

copy::CopyOptions options(int mode, int existAction, bool createList, const char* dest = "D:\\out") {
    return {copy::transferModeFromIndex(mode), copy::existActionFromIndex(existAction), createList, dest};
}

const char* const Scan = "Сканирование файлов списка ... ";

// The last line of a run's log: copied (moved), skipped, failed, without a source.
std::string summary(int copied, int skipped, int failed, int missing, const char* verb = "Скопировано") {
    return verb + (": " + std::to_string(copied)) + ", пропущено: " + std::to_string(skipped) +
           ", с ошибками: " + std::to_string(failed) + ", не найдено: " + std::to_string(missing);
}

// The last line of an aborted run: the same counts and the entries it never reached.
std::string aborted(int copied, int skipped, int failed, int missing, int notStarted) {
    return "Прервано. " + summary(copied, skipped, failed, missing) +
           ", не начато: " + std::to_string(notStarted);
}

const RunCase Runs[] = {
    {"EmptyList",
     {},
     {},
     options(1, 1, true),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 0", " Общий размер: 0 байт", "", "Создание папок:", "Копирование:", "",
      "Копирование завершено.", "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...",
      summary(0, 0, 0, 0)},
     {},
     {{"out/", ""}, {"out/_playlist_.m3u", "#EXTM3U\r\n"}}},

    {"SecondOfThreeSourcesMissing",
     {{"src/1.mp3", "one"}, {"src/3.mp3", "three"}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"},
      {"D:\\src\\2.mp3", "D:\\out\\2.mp3"},
      {"D:\\src\\3.mp3", "D:\\out\\3.mp3"}},
     options(0, 1, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 3", " Общий размер: 8 байт", " Файлов не найдено: 1", "",
      "Создание папок:", "Создание папки \"$D/out\"", "Копирование:", "  Копирование -> $D/out/1.mp3 ...",
      "  Копирование -> $D/out/3.mp3 ...", "", "Копирование завершено.", summary(2, 0, 0, 1)},
     {},
     {{"src/", ""},
      {"src/1.mp3", "one"},
      {"src/3.mp3", "three"},
      {"out/", ""},
      {"out/1.mp3", "one"},
      {"out/3.mp3", "three"}},
     8},

    {"MissingSourceOverExistingDestinationWithRename",
     {{"out/a.mp3", "old"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(1, 1, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 0 байт", " Файлов не найдено: 1", "",
      "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"a.mp3\" уже существует: переименование в \"a (1).mp3\"", "",
      "Копирование завершено.", summary(0, 0, 0, 1)},
     {},
     {{"out/", ""}, {"out/a.mp3", "old"}}},

    {"FreeSpaceEqualToTotalPasses",
     {{"src/a.mp3", "12345"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(1, 1, false),
     5,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 5 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/a.mp3 ...", "", "Копирование завершено.", summary(1, 0, 0, 0)},
     {},
     {{"src/", ""}, {"src/a.mp3", "12345"}, {"out/", ""}, {"out/a.mp3", "12345"}},
     5},

    {"FreeSpaceOneByteShortStops",
     {{"src/a.mp3", "12345"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(1, 1, true),
     4,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 5 байт", ""},
     {"В приемнике не хватает места!"},
     {{"src/", ""}, {"src/a.mp3", "12345"}}},

    {"NetworkPathDestinationRefused",
     {{"src/a.mp3", "12345"}},
     {{"D:\\src\\a.mp3", "\\\\server\\share\\a.mp3"}},
     options(1, 1, true, "\\\\server\\share"),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 5 байт", ""},
     {"Неверен путь!"},
     {{"src/", ""}, {"src/a.mp3", "12345"}}},

    {"UnmappedDriveRefused",
     {{"src/a.mp3", "12345"}},
     {{"D:\\src\\a.mp3", "Q:\\out\\a.mp3"}},
     options(1, 1, true, "Q:\\out"),
     std::nullopt,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 5 байт", ""},
     {"Неверен путь!"},
     {{"src/", ""}, {"src/a.mp3", "12345"}}},

    {"CancelDuringSecondOfFive",
     {{"src/1.mp3", Big1},
      {"src/2.mp3", Big1},
      {"src/3.mp3", Big1},
      {"src/4.mp3", Big1},
      {"src/5.mp3", Big1}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"},
      {"D:\\src\\2.mp3", "D:\\out\\2.mp3"},
      {"D:\\src\\3.mp3", "D:\\out\\3.mp3"},
      {"D:\\src\\4.mp3", "D:\\out\\4.mp3"},
      {"D:\\src\\5.mp3", "D:\\out\\5.mp3"}},
     options(0, 1, true),
     10000000,
     "  Копирование -> $D/out/2.mp3 ...",
     Act::Cancel,
     "",
     {Scan, " Файлов: 5", " Общий размер: 1500 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...", "  Копирование -> $D/out/2.mp3 ...",
      "Копирование файла \"$D/out/2.mp3\" перервано.", "", "",
      "Копирование перервано пользователем и не завершено.", aborted(1, 1, 0, 0, 3)},
     {},
     {{"src/", ""},
      {"src/1.mp3", Big1},
      {"src/2.mp3", Big1},
      {"src/3.mp3", Big1},
      {"src/4.mp3", Big1},
      {"src/5.mp3", Big1},
      {"out/", ""},
      {"out/1.mp3", Big1}},
     600000},

    {"CancelDuringSystemCopy",
     {{"src/1.mp3", Big1}, {"src/2.mp3", Big2}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}, {"D:\\src\\2.mp3", "D:\\out\\2.mp3"}},
     options(1, 1, true),
     10000000,
     "  Копирование -> $D/out/1.mp3 ...",
     Act::Cancel,
     "",
     {Scan, " Файлов: 2", " Общий размер: 600 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...",
      "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: операция прервана", "",
      "Копирование перервано пользователем и не завершено.", aborted(0, 1, 0, 0, 1)},
     {},
     {{"src/", ""}, {"src/1.mp3", Big1}, {"src/2.mp3", Big2}, {"out/", ""}},
     300000},

    {"SkipDuringSystemCopy",
     {{"src/1.mp3", Big1}, {"src/2.mp3", Big2}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}, {"D:\\src\\2.mp3", "D:\\out\\2.mp3"}},
     options(1, 1, false),
     10000000,
     "  Копирование -> $D/out/1.mp3 ...",
     Act::Skip,
     "",
     {Scan, " Файлов: 2", " Общий размер: 600 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...",
      "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: операция прервана",
      " Пропущено пользователем.", "  Копирование -> $D/out/2.mp3 ...", "", "Копирование завершено.",
      summary(1, 1, 0, 0)},
     {},
     {{"src/", ""}, {"src/1.mp3", Big1}, {"src/2.mp3", Big2}, {"out/", ""}, {"out/2.mp3", Big2}},
     600000},

    {"SkipDuringOwnCopyKeepsOverwrittenDestination",
     {{"src/1.mp3", Big1}, {"out/1.mp3", "old"}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}},
     options(0, 0, false),
     10000000,
     "  Копирование -> $D/out/1.mp3 ...",
     Act::Skip,
     "",
     {Scan, " Файлов: 1", " Общий размер: 300 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"1.mp3\" уже существует: перезапись файла",
      "  Копирование -> $D/out/1.mp3 ...", "Копирование файла \"$D/out/1.mp3\" перервано.", "",
      " Пропущено пользователем.", "", "Копирование завершено.", summary(0, 1, 0, 0)},
     {},
     {{"src/", ""}, {"src/1.mp3", Big1}, {"out/", ""}, {"out/1.mp3", "old"}},
     300000},

    {"SkipDuringSystemCopyKeepsOverwrittenDestination",
     {{"src/1.mp3", Big1}, {"out/1.mp3", "old"}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}},
     options(1, 0, false),
     10000000,
     "  Копирование -> $D/out/1.mp3 ...",
     Act::Skip,
     "",
     {Scan, " Файлов: 1", " Общий размер: 300 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"1.mp3\" уже существует: перезапись файла",
      "  Копирование -> $D/out/1.mp3 ...",
      "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: операция прервана",
      " Пропущено пользователем.", "", "Копирование завершено.", summary(0, 1, 0, 0)},
     {},
     {{"src/", ""}, {"src/1.mp3", Big1}, {"out/", ""}, {"out/1.mp3", "old"}},
     300000},

    // A click while no transfer is under way is forgotten when the next entry starts.
    {"SkipClickedBetweenEntries",
     {{"src/1.mp3", Big1}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}},
     options(0, 1, false),
     1000000,
     "Копирование:",
     Act::Skip,
     "",
     {Scan, " Файлов: 1", " Общий размер: 300 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...", "", "Копирование завершено.", summary(1, 0, 0, 0)},
     {},
     {{"src/1.mp3", Big1}, {"out/1.mp3", Big1}},
     300000},

    {"SkipPolicyMakesNoTransfer",
     {{"src/1.mp3", "new"}, {"out/1.mp3", "old"}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}},
     options(1, 2, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"1.mp3\" уже существует: пропуск файла", "", "Копирование завершено.",
      summary(0, 1, 0, 0)},
     {},
     {{"src/", ""}, {"src/1.mp3", "new"}, {"out/", ""}, {"out/1.mp3", "old"}}},

    {"OverwriteWithOwnCopy",
     {{"src/a.mp3", "new"}, {"out/a.mp3", "older and longer"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(0, 0, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"a.mp3\" уже существует: перезапись файла",
      "  Копирование -> $D/out/a.mp3 ...", "", "Копирование завершено.", summary(1, 0, 0, 0)},
     {},
     {{"src/", ""}, {"src/a.mp3", "new"}, {"out/", ""}, {"out/a.mp3", "new"}},
     3},

    {"OverwriteWithSystemCopy",
     {{"src/a.mp3", "new"}, {"out/a.mp3", "older and longer"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(1, 0, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Файл \"a.mp3\" уже существует: перезапись файла",
      "  Копирование -> $D/out/a.mp3 ...", "", "Копирование завершено.", summary(1, 0, 0, 0)},
     {},
     {{"src/", ""}, {"src/a.mp3", "new"}, {"out/", ""}, {"out/a.mp3", "new"}},
     3},

    {"OverwriteWithMoveFails",
     {{"src/a.mp3", "new"}, {"out/a.mp3", "older and longer"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(2, 0, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Перемещение:", "  Файл \"a.mp3\" уже существует: перезапись файла",
      "  Перемещение -> $D/out/a.mp3 ...",
      "Внешняя ошибка Tunewagon:Move(system):1 - ошибка при переименовании: имя уже занято", "",
      "Копирование завершено.", summary(0, 0, 1, 0, "Перемещено")},
     {},
     {{"src/", ""}, {"src/a.mp3", "new"}, {"out/", ""}, {"out/a.mp3", "older and longer"}},
     3},

    {"MoveRenamedCopyIsListedUnderItsOwnName",
     {{"src/a.mp3", "new"}, {"out/a.mp3", "old"}},
     {{"D:\\src\\a.mp3", "D:\\out\\a.mp3"}},
     options(2, 1, true),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Перемещение:", "  Файл \"a.mp3\" уже существует: переименование в \"a (1).mp3\"",
      "  Перемещение -> $D/out/a (1).mp3 ...", "", "Копирование завершено.",
      "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...", summary(1, 0, 0, 0, "Перемещено")},
     {},
     {{"src/", ""},
      {"out/", ""},
      {"out/a.mp3", "old"},
      {"out/a (1).mp3", "new"},
      {"out/_playlist_.m3u", "#EXTM3U\r\na (1).mp3\r\n"}},
     3},

    {"FoldersABAAndDriveRoot",
     {{"src/1.mp3", "1"}, {"src/2.mp3", "2"}, {"src/3.mp3", "3"}, {"src/4.mp3", "4"}},
     {{"D:\\src\\1.mp3", "D:\\out\\A\\1.mp3"},
      {"D:\\src\\2.mp3", "D:\\out\\B\\2.mp3"},
      {"D:\\src\\3.mp3", "D:\\out\\A\\3.mp3"},
      {"D:\\src\\4.mp3", "D:\\4.mp3"}},
     options(1, 1, false),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 4", " Общий размер: 4 байт", "", "Создание папок:", "Создание папки \"$D/out/A\"",
      "Создание папки \"$D/out/B\"", "Создание папки \"$D/out/A\"", "Создание папки \"$D\"",
      "Копирование:", "  Копирование -> $D/out/A/1.mp3 ...", "  Копирование -> $D/out/B/2.mp3 ...",
      "  Копирование -> $D/out/A/3.mp3 ...", "  Копирование -> $D/4.mp3 ...", "", "Копирование завершено.",
      summary(4, 0, 0, 0)},
     {},
     {{"src/", ""},
      {"src/1.mp3", "1"},
      {"src/2.mp3", "2"},
      {"src/3.mp3", "3"},
      {"src/4.mp3", "4"},
      {"out/", ""},
      {"out/A/", ""},
      {"out/B/", ""},
      {"out/A/1.mp3", "1"},
      {"out/B/2.mp3", "2"},
      {"out/A/3.mp3", "3"},
      {"4.mp3", "4"}},
     4},

    {"SourceShrinksDuringOwnCopy",
     {{"src/1.mp3", Big1}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3"}},
     options(0, 1, false),
     1000000,
     "  Копирование -> $D/out/1.mp3 ...",
     Act::ShrinkSource,
     "src/1.mp3",
     {Scan, " Файлов: 1", " Общий размер: 300 Кб", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...",
      "Внешняя ошибка Tunewagon:Copy:3 - ошибка при чтении исходного файла: файл стал короче во время "
      "копирования",
      "", "Копирование завершено.", summary(0, 0, 1, 0)},
     {},
     {{"src/", ""}, {"src/1.mp3", Big1.substr(0, 1000)}, {"out/", ""}},
     300000},

    {"UnwritablePlaylistStillEndsTheRun",
     {{"src/1.mp3", "one"}, {"out/_playlist_.m3u/keep", ""}},
     {{"D:\\src\\1.mp3", "D:\\out\\1.mp3", 3}},
     options(1, 1, true),
     1000,
     "",
     Act::None,
     "",
     {Scan, " Файлов: 1", " Общий размер: 3 байт", "", "Создание папок:", "Создание папки \"$D/out\"",
      "Копирование:", "  Копирование -> $D/out/1.mp3 ...", "", "Копирование завершено.",
      "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...",
      "Не удалось сохранить плейлист \"$D/out/_playlist_.m3u\": это папка или устройство, а не файл",
      summary(1, 0, 0, 0)},
     {},
     {{"src/", ""},
      {"src/1.mp3", "one"},
      {"out/", ""},
      {"out/1.mp3", "one"},
      {"out/_playlist_.m3u/", ""},
      {"out/_playlist_.m3u/keep", ""}},
     3},
};

Disk diskOf(const testsupport::TempDrive& drive) {
    Disk disk;
    for (const std::string& path : testsupport::filesUnder(drive)) {
        disk[path] = path.ends_with('/') ? std::string() : drive.readFile(path);
    }
    return disk;
}

Disk withFolders(const Disk& files) {
    Disk disk = files;
    for (const auto& [path, content] : files) {
        for (size_t slash = path.find('/'); slash != std::string::npos && slash + 1 < path.size();
             slash = path.find('/', slash + 1)) {
            disk[path.substr(0, slash + 1)] = "";
        }
    }
    return disk;
}

struct CopyRunTest : CopyFixture, ::testing::WithParamInterface<RunCase> {};

TEST_P(CopyRunTest, LogDiskAndCounters) {
    const RunCase& c = GetParam();
    for (const auto& [path, bytes] : c.before) {
        drive.writeFile(path, bytes);
    }
    for (const Entry& entry : c.entries) {
        addEntry(entry.source, entry.dest, "", std::nullopt, entry.size);
    }
    if (c.act != Act::None) {
        whenLogEndsWith(c.trigger, [this, &c] {
            if (c.act == Act::Skip) {
                copy::Button5Click(run);
            } else if (c.act == Act::Cancel) {
                copy::requestCancel(shell);
            } else {
                ASSERT_EQ(::truncate(drive.hostPath(c.actOn).c_str(), 1000), 0);
            }
        });
    }
    copy::FreeSpaceQuery freeSpace;
    if (c.freeBytes) {
        freeSpace = [&c](char drive, std::string_view path) {
            EXPECT_EQ(drive, 'D');
            EXPECT_EQ(path, c.options.DestFolder);
            return *c.freeBytes;
        };
    }
    copy::CopyRun(c.options, listDb, run, display, freeSpace);

    EXPECT_EQ(view.log, onHost(c.log));
    EXPECT_EQ(view.messages, c.messages);
    EXPECT_EQ(diskOf(drive), withFolders(c.after));
    EXPECT_EQ(run.DoneBytes, c.doneBytes);
    EXPECT_FALSE(shell.WorkActive);
    EXPECT_TRUE(shell.RunIdle);
    // Saved when the line before the summary is the saving line (no failure line after it).
    bool playlistWritten = view.log.size() >= 2 && view.log[view.log.size() - 2].starts_with("Сохранение");
    EXPECT_EQ(view.questions.size(), playlistWritten ? 1u : 0u);
    for (copy::StatusLabel label :
         {copy::StatusLabel::Size, copy::StatusLabel::Time, copy::StatusLabel::Speed}) {
        EXPECT_EQ(view.status(label), "");
    }
    // A run that ended full bars; an aborted one leaves them where it stopped.
    if (c.messages.empty()) {
        EXPECT_EQ(shell.CopyCancelCell, -1);
        const bool wasAborted = view.log.back().starts_with("Прервано.");
        EXPECT_EQ(view.overallPositions.back() == copy::BarMaximum, !wasAborted);
        EXPECT_EQ(view.filePositions.back() == copy::BarMaximum, !wasAborted);
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, CopyRunTest, ::testing::ValuesIn(Runs),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; });

using CopyRunFixture = CopyFixture;

// A destination that is the source itself, with the overwrite policy: each mode fails with its
// destination line and the file stays whole.
TEST_F(CopyRunFixture, CopyOntoItselfInEveryMode) {
    const std::string bytes = patternBytes(200000);
    drive.writeFile("Music/Song.mp3", bytes);
    ASSERT_EQ(::link(drive.hostPath("Music/Song.mp3").c_str(), drive.hostPath("Music/Link.mp3").c_str()), 0);
    const Disk disk = diskOf(drive);
    const char* errors[] = {
        "Внешняя ошибка Tunewagon:Copy:2 - ошибка при открытии файла приемника: источник и приемник - один и "
        "тот же файл",
        "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: источник и приемник - один и тот "
        "же "
        "файл",
        "Внешняя ошибка Tunewagon:Move(system):1 - ошибка при переименовании: имя уже занято"};
    for (int mode : {0, 1, 2}) {
        for (const char* dest : {"D:\\Music\\Song.mp3", "D:\\MUSIC\\song.MP3", "D:\\Music\\Link.mp3"}) {
            store::rebuildTrackList(listDb);
            addEntry("D:\\Music\\Song.mp3", dest);
            copy::CopyRun(options(mode, 0, false, "D:\\Music"), listDb, run, display,
                          [](char, std::string_view) { return int64_t{1} << 40; });
            ASSERT_GE(view.log.size(), 3u);
            EXPECT_EQ(view.log[view.log.size() - 4], errors[mode]) << mode << " " << dest;
            EXPECT_EQ(diskOf(drive), disk) << mode << " " << dest;
        }
    }
}

// A disk that fills up during an own copy: row 156, no partial file, the overwritten destination
// as it was, and the run goes on with the next entry.
TEST_F(CopyRunFixture, FullDiskDuringOwnCopy) {
    drive.writeFile("src/1.mp3", Big1);
    drive.writeFile("src/2.mp3", "two");
    drive.writeFile("out/1.mp3", "old");
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3");
    auto log = testsupport::runWithFileSizeLimit(200000, [this] {
        copy::CopyRun(options(0, 0, false), listDb, run, display,
                      [](char, std::string_view) { return 1000000; });
        std::string text;
        for (const std::string& line : view.log) {
            text += line + "\n";
        }
        return text;
    });
    ASSERT_TRUE(log.has_value());
    EXPECT_EQ(
        *log,
        onHost(std::string(Scan) +
               "\n Файлов: 2\n Общий размер: 300 Кб\n\nСоздание папок:\n"
               "Создание папки \"$D/out\"\nКопирование:\n"
               "  Файл \"1.mp3\" уже существует: перезапись файла\n  Копирование -> $D/out/1.mp3 ...\n"
               "Внешняя ошибка Tunewagon:Copy:4 - ошибка при записи файла приемника: нет места на диске\n"
               "  Копирование -> $D/out/2.mp3 ...\n\nКопирование завершено.\n" +
               summary(1, 0, 1, 0) + "\n"));
    EXPECT_EQ(
        diskOf(drive),
        withFolders({{"src/1.mp3", Big1}, {"src/2.mp3", "two"}, {"out/1.mp3", "old"}, {"out/2.mp3", "two"}}));
}

// A source held by another process at scan time: counted as unreadable, its transfer fails, and
// the size the source stage stored still counts, capped at the total.
TEST_F(CopyRunFixture, SourceLockedDuringRun) {
    drive.writeFile("src/1.mp3", "locked");
    drive.writeFile("src/2.mp3", "22");
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3", "", std::nullopt, 5000);
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3");
    platform::FileHandle holder = platform::openFileExclusive("D:\\src\\1.mp3");
    ASSERT_NE(holder, platform::InvalidFile);
    copy::CopyRun(options(0, 1, false), listDb, run, display, [](char, std::string_view) { return 1000; });
    platform::closeFile(holder);
    EXPECT_EQ(view.log,
              onHost(Lines{Scan, " Файлов: 2", " Общий размер: 2 байт", " Файлов недоступно: 1", "",
                           "Создание папок:", "Создание папки \"$D/out\"",
                           "Копирование:", "  Копирование -> $D/out/1.mp3 ...",
                           "Внешняя ошибка Tunewagon:Copy:1 - ошибка при открытии исходного файла: файл "
                           "занят другим процессом",
                           "  Копирование -> $D/out/2.mp3 ...", "", "Копирование завершено.",
                           summary(1, 0, 1, 0)}));
    EXPECT_EQ(run.TotalBytes, 2);
    EXPECT_EQ(run.DoneBytes, 2);
    EXPECT_EQ(run.UnreadableCount, 1);
    EXPECT_EQ(diskOf(drive),
              withFolders({{"src/1.mp3", "locked"}, {"src/2.mp3", "22"}, {"out/2.mp3", "22"}}));
}

// Sources of 0 bytes (0 of 0 done) and a slow clock: the labels show real times and speeds,
// never "nan", "inf" or a negative value.
TEST_F(CopyRunFixture, EmptySourcesShowNoNonsense) {
    drive.writeFile("src/1.mp3");
    drive.writeFile("src/2.mp3");
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3");
    for (int mode : {0, 1}) {
        clock.step = 1500;
        view.statusTexts.clear();
        copy::CopyRun(options(mode, 0, false), listDb, run, display,
                      [](char, std::string_view) { return 0; });
        EXPECT_EQ(view.log[view.log.size() - 2], "Копирование завершено.");
        EXPECT_EQ(view.log.back(), summary(2, 0, 0, 0));
        int shown = 0;
        const std::regex sane(R"(\d+:\d\d:\d\d - \d+:\d\d:\d\d|0 байт / 0 байт|\d+ Mb/s)");
        for (const std::string& text : view.statusTexts) {
            if (!text.empty()) {
                ++shown;
                EXPECT_TRUE(std::regex_match(text, sane)) << text;
            }
        }
        EXPECT_GE(shown, 3);
    }
}

} // namespace
