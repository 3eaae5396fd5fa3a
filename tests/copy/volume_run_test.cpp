// What a run does because of the volume it writes to: the names the volume refuses land cleaned
// (folders too) and the result playlist names them, a file larger than the volume holds is not
// attempted, free space is counted in allocation units, a removable volume is flushed before
// the closing line, and a copy that the read-back finds damaged is removed and counted.
#include "copy/copy_run.h"
#include "copy/write_checks.h"

#include "copy_fixture.h"

#include "platform/drives.h"
#include "platform/host_names.h"
#include "platform/volume_flush.h"
#include "support/fat_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

namespace {

using copytest::CopyFixture;
using testsupport::patternBytes;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string FlushTitle = "Запись на устройство...";
const std::string Differs = "  Ошибка проверки: копия отличается от исходного файла и удалена";

const char* verbOf(copy::TransferMode mode) {
    return mode == copy::TransferSystemMove ? "Перемещено" : "Скопировано";
}

std::string summary(int copied, int skipped, int failed, int missing, const char* verb = "Скопировано") {
    return verb + (": " + std::to_string(copied)) + ", пропущено: " + std::to_string(skipped) +
           ", с ошибками: " + std::to_string(failed) + ", не найдено: " + std::to_string(missing);
}

// Every file and folder below a host folder, hidden ones too, sorted, "/" separators, folders
// ending in "/".
Lines treeOf(const std::string& hostFolder) {
    Lines names;
    for (const auto& entry : fs::recursive_directory_iterator(hostFolder)) {
        std::string name = fs::relative(entry.path(), hostFolder).string();
        names.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeHostFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A relative host path ("AC:DC/Live./x.mp3") as the part of a FileName below its folder.
std::string programBelow(const std::string& hostRelative) {
    std::string below;
    size_t start = 0;
    for (size_t slash = hostRelative.find('/');; slash = hostRelative.find('/', start)) {
        below += platform::programNameOfHostName(hostRelative.substr(start, slash - start));
        if (slash == std::string::npos) {
            return below;
        }
        below += '\\';
        start = slash + 1;
    }
}

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

struct VolumeRunTest : CopyFixture {
    ~VolumeRunTest() override { copy::setVerifyHookForTesting({}); }

    static copy::CopyOptions options(copy::TransferMode mode, const std::string& dest) {
        copy::CopyOptions o;
        o.TransferMode = mode;
        o.CreateList = false;
        o.DestFolder = dest;
        return o;
    }
    void runTo(const copy::CopyOptions& o, int64_t free = int64_t{1} << 40) {
        copy::CopyRun(o, listDb, run, display, [free](char, std::string_view) { return free; });
    }
    // The drive's folders get `facts`, in place of the fixture's.
    void driveFacts(const platform::VolumeFacts& facts) {
        platform::setVolumeFactsForTesting(
            [root = drive.hostRoot(),
             facts](const std::string& folder) -> std::optional<platform::VolumeFacts> {
                if (folder != root && !folder.starts_with(root + "/")) {
                    return std::nullopt;
                }
                return facts;
            });
    }
    bool logHas(const std::string& line) const {
        return std::find(view.log.begin(), view.log.end(), onHost(line)) != view.log.end();
    }
};

// Onto a real FAT32 volume, in each transfer mode: the names it refuses land cleaned, folders
// included; a name that differs only in case from one just written gets the policy's numbered
// name; a file larger than the volume holds is not attempted, with the reason in the log and
// as a failure in the summary; no partial file stays; the volume is flushed before the end.
TEST_F(VolumeRunTest, FatVolumeHoldsCleanedNamesAndNoFileTooBig) {
    testsupport::FatImage image;
    if (!image.mounted()) {
        GTEST_SKIP() << image.whyNotMounted();
    }
    testsupport::SavedDriveTable savedDrives;
    platform::mountDrive('E', image.mountFolder());
    struct Source {
        std::string host; // below src/ on D:, and the name planned below the destination
        std::string bytes;
    };
    const std::vector<Source> sources = {
        {"CON.mp3", "con"}, {"a:b.mp3", "colon"}, {"Track.", "dot"},
        {"A.mp3", "upper"}, {"a.mp3", "lower"},   {"AC:DC/Live./x.mp3", "kept folders"},
        {"big.mp3", ""},
    };
    const std::map<std::string, std::string> landed = {
        {"CON_.mp3", "con"}, {"ab.mp3", "colon"},    {"Track", "dot"},
        {"A.mp3", "upper"},  {"a (1).mp3", "lower"}, {"ACDC/Live/x.mp3", "kept folders"},
    };
    const int64_t bigSize = int64_t{9} << 29; // 4.5 GiB, sparse
    for (copy::TransferMode mode :
         {copy::TransferOwnCopy, copy::TransferSystemCopy, copy::TransferSystemMove}) {
        SCOPED_TRACE(mode);
        const std::string out = "out" + std::to_string(mode);
        store::rebuildTrackList(listDb);
        view.phaseTitles.clear();
        for (const Source& s : sources) {
            const std::string host = drive.hostRoot() + "/src/" + s.host;
            writeHostFile(host, s.bytes);
            addEntry(platform::toProgramPath(host), "E:\\" + out + "\\" + programBelow(s.host));
        }
        ASSERT_EQ(::truncate((drive.hostRoot() + "/src/big.mp3").c_str(), bigSize), 0);
        const uint64_t flushesBefore = platform::flushRequestCount();

        runTo(options(mode, "E:\\" + out));

        const std::string outHost = image.mountFolder() + "/" + out;
        EXPECT_EQ(treeOf(outHost), (Lines{"A.mp3", "ACDC/", "ACDC/Live/", "ACDC/Live/x.mp3", "CON_.mp3",
                                          "Track", "a (1).mp3", "ab.mp3"}));
        for (const auto& [name, bytes] : landed) {
            EXPECT_EQ(readHostFile(outHost + "/" + name), bytes) << name;
        }
        EXPECT_TRUE(logHas("  Не копируется " + outHost +
                           "/big.mp3: файл 4 Гб (4831838208 байт) больше, чем вмещает том FAT32 "
                           "(наибольший файл - 4294967295 байт)"));
        EXPECT_EQ(view.log.back(), summary(6, 0, 1, 0, verbOf(mode)));
        EXPECT_EQ(run.LandedNames, (std::map<int, std::string>{{0, "E:\\" + out + "\\CON_.mp3"},
                                                               {1, "E:\\" + out + "\\ab.mp3"},
                                                               {2, "E:\\" + out + "\\Track"},
                                                               {4, "E:\\" + out + "\\a (1).mp3"},
                                                               {5, "E:\\" + out + "\\ACDC\\Live\\x.mp3"}}));
        // A FUSE volume counts as removable: one flush of the volume, which went through; a move
        // also flushed each of its 6 copies before their sources went.
        EXPECT_EQ(platform::flushRequestCount() - flushesBefore, mode == copy::TransferSystemMove ? 7u : 1u);
        EXPECT_EQ(std::count(view.phaseTitles.begin(), view.phaseTitles.end(), FlushTitle), 1);
    }
}

struct CleanedCase {
    const char* name;
    std::string planned; // host names below the destination folder
    plan::InvalidCharAction action;
    std::string landed;
};

// What the volume refuses is cleaned by the user's treatment of invalid characters, in every
// folder and the file name; a name that fits FAT32's 255 UTF-16 units but not the host's 255
// bytes is cut to what the host can create. The result playlist lists the names that landed.
TEST_F(VolumeRunTest, RefusedNamesLandCleanedAndThePlaylistNamesThem) {
    const std::string ya = "\xD1\x8F"; // я: 2 bytes, 1 UTF-16 unit
    const CleanedCase cases[] = {
        {"delete", "AC:DC/Live./x.mp3", plan::InvalidCharAction::Delete, "ACDC/Live/x.mp3"},
        {"underscore", "AC:DC/Live./x.mp3", plan::InvalidCharAction::ReplaceWithUnderscore,
         "AC_DC/Live/x.mp3"},
        {"blank", "AC:DC/Live./x.mp3", plan::InvalidCharAction::ReplaceWithSpace, "AC DC/Live/x.mp3"},
        {"300 bytes of Cyrillic", repeat(ya, 148) + ".mp3", plan::InvalidCharAction::Delete,
         repeat(ya, 125) + ".mp3"},
        {"device name", "nul.txt", plan::InvalidCharAction::Delete, "nul_.txt"},
    };
    driveFacts(platform::volumeFactsOfKind(platform::VolumeKind::Fat32));
    drive.writeFile("src/1.mp3", "one");
    for (const CleanedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = std::string("out-") + c.name;
        store::rebuildTrackList(listDb);
        addEntry("D:\\src\\1.mp3", "D:\\" + out + "\\" + programBelow(c.planned));
        copy::CopyOptions o = options(copy::TransferSystemCopy, "D:\\" + out);
        o.InvalidChars = c.action;
        o.CreateList = true;

        runTo(o);

        EXPECT_EQ(view.log.back(), summary(1, 0, 0, 0));
        EXPECT_EQ(drive.readFile(out + "/" + c.landed), "one");
        EXPECT_EQ(drive.readFile(out + "/_playlist_.m3u"), "#EXTM3U\r\n" + c.landed + "\r\n");
    }
}

// A run given the destination as the preview resolved it takes that folder and its volume's
// facts as they stand: with FAT32 facts resolved for a folder on a host volume that the system
// would call POSIX, the device name lands cleaned, and the system is not asked again.
TEST_F(VolumeRunTest, ResolvedDestinationIsTakenAsItStands) {
    drive.writeFile("src/1.mp3", "one");
    addEntry("D:\\src\\1.mp3", "D:\\out\\nul.txt");
    int asked = 0;
    platform::setVolumeFactsForTesting([&asked](const std::string&) -> std::optional<platform::VolumeFacts> {
        ++asked;
        return platform::volumeFactsOfKind(platform::VolumeKind::Posix);
    });
    copy::CopyOptions o = options(copy::TransferSystemCopy, "D:\\elsewhere");
    o.Dest = plan::ResolvedDest{.typed = "D:\\out",
                                .programPath = "D:\\out",
                                .hostPath = drive.hostRoot() + "/out",
                                .volume = platform::volumeFactsOfKind(platform::VolumeKind::Fat32)};

    runTo(o);

    EXPECT_EQ(view.log.back(), summary(1, 0, 0, 0));
    EXPECT_EQ(drive.readFile("out/nul_.txt"), "one");
    EXPECT_FALSE(fs::exists(drive.hostRoot() + "/elsewhere"));
    EXPECT_EQ(asked, 0);
}

struct SpaceCase {
    const char* name;
    int64_t free;
    Lines messages;
    int copied;
};

// The free space needed is what the files take in whole allocation units, leaving out a file
// that the volume cannot hold: 1 byte and 4097 bytes take 3 units of 4096 bytes.
TEST_F(VolumeRunTest, FreeSpaceCountsAllocationUnits) {
    const SpaceCase cases[] = {
        {"exactly the units", 12288, {}, 2},
        {"a byte short of the units", 12287, {"В приемнике не хватает места!"}, 0},
    };
    platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Posix);
    facts.allocationUnit = 4096;
    facts.maxFileSize = 10000;
    driveFacts(facts);
    drive.writeFile("src/1.mp3", "1");
    drive.writeFile("src/2.mp3", patternBytes(4097));
    drive.writeFile("src/3.mp3", patternBytes(20000));
    for (const SpaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = std::string("out-") + c.name;
        store::rebuildTrackList(listDb);
        view.messages.clear();
        for (const char* name : {"1.mp3", "2.mp3", "3.mp3"}) {
            addEntry(std::string("D:\\src\\") + name, "D:\\" + out + "\\" + name);
        }
        runTo(options(copy::TransferSystemCopy, "D:\\" + out), c.free);
        EXPECT_EQ(view.messages, c.messages);
        EXPECT_EQ(run.CopiedCount, c.copied);
        EXPECT_EQ(drive.exists(out), c.copied > 0);
        if (c.copied > 0) {
            EXPECT_EQ(testsupport::filesUnder(drive, out), (Lines{"1.mp3", "2.mp3"}));
            EXPECT_EQ(view.log.back(), summary(2, 0, 1, 0));
        }
    }
}

struct FlushCase {
    const char* name;
    bool removable;
    bool flushAlways;
    bool sourceThere;
    bool flushes;
};

// A run that wrote onto a removable volume, or any run when the user asks for it, flushes the
// volume once, under its own phase title and before the closing line; a run that wrote nothing
// has nothing to flush.
TEST_F(VolumeRunTest, FlushComesBeforeTheClosingLine) {
    const FlushCase cases[] = {
        {"fixed volume", false, false, true, false},
        {"fixed volume, asked for", false, true, true, true},
        {"removable volume", true, false, true, true},
        {"removable volume, nothing written", true, false, false, false},
    };
    for (const FlushCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Posix);
        facts.removable = c.removable;
        driveFacts(facts);
        store::rebuildTrackList(listDb);
        view.phaseTitles.clear();
        fs::remove(drive.hostPath("src/1.mp3"));
        if (c.sourceThere) {
            drive.writeFile("src/1.mp3", "one");
        }
        addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
        copy::CopyOptions o = options(copy::TransferOwnCopy, "D:\\out");
        o.ExistAction = copy::ExistOverwrite;
        o.FlushAlways = c.flushAlways;
        const uint64_t before = platform::flushRequestCount();
        std::optional<Lines> logAtFlush;
        view.onProcessMessages = [&] {
            if (!logAtFlush && !view.phaseTitles.empty() && view.phaseTitles.back() == FlushTitle) {
                logAtFlush = view.log;
            }
        };

        runTo(o);

        EXPECT_EQ(platform::flushRequestCount() - before, c.flushes ? 1u : 0u);
        EXPECT_EQ(logAtFlush.has_value(), c.flushes);
        if (logAtFlush) {
            EXPECT_EQ(logAtFlush->back(), onHost("  Копирование -> $D/out/1.mp3 ..."));
            EXPECT_EQ(view.log.back(), summary(1, 0, 0, 0));
        }
        if (!c.sourceThere) {
            EXPECT_EQ(view.log.back(), summary(0, 0, 0, 1));
        }
    }
}

// The device gone before the flush (its folder removed): the volume cannot be flushed, nor any
// file alone, and each file written counts as failed with its line, not as copied.
TEST_F(VolumeRunTest, FailedFlushCountsTheFilesItLost) {
    platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Fat32);
    driveFacts(facts);
    drive.writeFile("src/1.mp3", "one");
    drive.writeFile("src/2.mp3", "two");
    addEntry("D:\\src\\1.mp3", "D:\\out\\1.mp3");
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3");
    view.onProcessMessages = [&] {
        if (!view.phaseTitles.empty() && view.phaseTitles.back() == FlushTitle) {
            fs::remove_all(drive.hostPath("out"));
        }
    };

    runTo(options(copy::TransferSystemCopy, "D:\\out"));

    EXPECT_TRUE(logHas("  Ошибка записи на устройство: $D/out/1.mp3: файл или папка не найдены"));
    EXPECT_TRUE(logHas("  Ошибка записи на устройство: $D/out/2.mp3: файл или папка не найдены"));
    EXPECT_EQ(view.log.back(), summary(0, 0, 2, 0));
    EXPECT_EQ(run.FailedCount, 2);
}

struct VerifyCase {
    const char* name;
    copy::TransferMode mode;
    bool damaged;
};

// The name a copy was read back under: its temporary one in the destination's folder.
bool isPartialOf(const std::string& hostPath, const std::string& finalHostPath) {
    const fs::path path(hostPath), final(finalHostPath);
    return path.parent_path() == final.parent_path() &&
           path.filename().string().starts_with("." + final.filename().string() + ".tw-partial-");
}

// With Verify, a copy damaged between its write and the read-back is reported, removed and
// counted as failed, and a move keeps its source; an intact copy passes. The copy is read back
// under its temporary name, before it takes the destination's. The move goes to another volume
// (/dev/shm), so it copies, and is checked before its source goes.
TEST_F(VolumeRunTest, VerifyRemovesADamagedCopy) {
    char shmFolder[] = "/dev/shm/tw-verify-XXXXXX";
    ASSERT_NE(::mkdtemp(shmFolder), nullptr);
    testsupport::SavedDriveTable savedDrives;
    platform::mountDrive('E', shmFolder);
    const VerifyCase cases[] = {
        {"own copy, damaged", copy::TransferOwnCopy, true},
        {"system copy, damaged", copy::TransferSystemCopy, true},
        {"move to another volume, damaged", copy::TransferSystemMove, true},
        {"own copy, intact", copy::TransferOwnCopy, false},
        {"move to another volume, intact", copy::TransferSystemMove, false},
    };
    const std::string song = patternBytes(300000, 3);
    for (const VerifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = std::string(shmFolder) + "/" + c.name;
        store::rebuildTrackList(listDb);
        drive.writeFile("src/1.mp3", song);
        addEntry("D:\\src\\1.mp3", "E:\\" + std::string(c.name) + "\\1.mp3");
        std::vector<std::string> checked;
        copy::setVerifyHookForTesting([&](const std::string& hostPath) {
            checked.push_back(hostPath);
            if (c.damaged) {
                std::fstream copyFile(hostPath, std::ios::in | std::ios::out | std::ios::binary);
                copyFile.seekp(150000);
                copyFile.put(static_cast<char>(~song[150000]));
            }
        });
        copy::CopyOptions o = options(c.mode, "E:\\" + std::string(c.name));
        o.Verify = true;

        runTo(o);

        ASSERT_EQ(checked.size(), 1u);
        EXPECT_TRUE(isPartialOf(checked[0], out + "/1.mp3")) << checked[0];
        EXPECT_EQ(logHas(Differs), c.damaged);
        EXPECT_EQ(view.log.back(),
                  c.damaged ? summary(0, 0, 1, 0, verbOf(c.mode)) : summary(1, 0, 0, 0, verbOf(c.mode)));
        EXPECT_EQ(fs::exists(out + "/1.mp3"), !c.damaged);
        EXPECT_EQ(treeOf(out), c.damaged ? Lines{} : Lines{"1.mp3"});
        if (!c.damaged) {
            EXPECT_TRUE(readHostFile(out + "/1.mp3") == song);
        }
        // The source stays unless a move's copy proved good.
        EXPECT_EQ(drive.exists("src/1.mp3"), c.damaged || c.mode != copy::TransferSystemMove);
    }
    fs::remove_all(shmFolder);
}

// Verify with Overwrite: a copy that fails its read-back never replaces the file it was to
// overwrite. The sources change between the copy and the read-back as a user's can: a file of
// /proc (its text differs at every read) and a download that grows while it is copied.
TEST_F(VolumeRunTest, FailedVerifyKeepsTheFileItWouldHaveReplaced) {
    testsupport::SavedDriveTable savedDrives;
    platform::mountDrive('P', "/proc");
    drive.writeFile("dl/growing.mp3", patternBytes(3'000'000, 5));
    const struct Case {
        const char* name;
        copy::TransferMode mode;
        const char* source;
    } cases[] = {
        {"own copy of /proc/uptime", copy::TransferOwnCopy, "P:\\uptime"},
        {"system copy of /proc/uptime", copy::TransferSystemCopy, "P:\\uptime"},
        {"own copy of a growing file", copy::TransferOwnCopy, "D:\\dl\\growing.mp3"},
        {"system copy of a growing file", copy::TransferSystemCopy, "D:\\dl\\growing.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store::rebuildTrackList(listDb);
        drive.writeFile("out/1.mp3", "the old version");
        addEntry(c.source, "D:\\out\\1.mp3");
        copy::setVerifyHookForTesting([&](const std::string&) {
            ::usleep(30'000); // /proc/uptime counts in hundredths of a second
            std::ofstream(drive.hostPath("dl/growing.mp3"), std::ios::app | std::ios::binary) << "more";
        });
        copy::CopyOptions o = options(c.mode, "D:\\out");
        o.ExistAction = copy::ExistOverwrite;
        o.Verify = true;

        runTo(o);

        EXPECT_TRUE(logHas(Differs));
        EXPECT_EQ(view.log.back(), summary(0, 0, 1, 0));
        EXPECT_EQ(drive.readFile("out/1.mp3"), "the old version");
        EXPECT_EQ(treeOf(drive.hostPath("out")), Lines{"1.mp3"});
    }
}

} // namespace
