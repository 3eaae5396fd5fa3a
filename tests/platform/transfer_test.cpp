#include "platform/drives.h"
#include "platform/files.h"
#include "platform/transfer.h"
#include "platform/transfer_posix.h"
#include "support/fat_image.h"
#include "support/temp_drive.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace transfertest;
using enum platform::MoveResult;

// The copy has the source's bytes and modification time, and progress runs from 0 to the whole
// length, at the chunk boundaries of the own copy's buffer too.
TEST_F(TransferTest, CopyKeepsContentAndTimeWithProgressFromZeroToLength) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{131072}, size_t{131073}, size_t{3 * MiB + 5}}) {
        SCOPED_TRACE(size);
        std::string content = bytes(size, static_cast<uint32_t>(size));
        d.writeFile("in.mp3", content);
        setModified(d.hostPath("in.mp3"), SourceTime);
        ProgressLog log;
        ASSERT_TRUE(platform::systemCopy("D:\\in.mp3", "D:\\Out\\..\\out.mp3", log.routine(), &cancelCell))
            << platform::lastErrorText();
        EXPECT_EQ(d.readFile("out.mp3"), content);
        EXPECT_EQ(modified(d.hostPath("out.mp3")).tv_sec, SourceTime.tv_sec);
        EXPECT_EQ(modified(d.hostPath("out.mp3")).tv_nsec, SourceTime.tv_nsec);
        auto total = static_cast<int64_t>(size);
        ASSERT_FALSE(log.calls.empty());
        EXPECT_EQ(log.calls.front(), std::make_pair(total, int64_t{0}));
        EXPECT_EQ(log.calls.back(), std::make_pair(total, total));
        for (size_t i = 1; i < log.calls.size(); ++i) {
            EXPECT_EQ(log.calls[i].first, total);
            EXPECT_GE(log.calls[i].second, log.calls[i - 1].second);
        }
    }
    EXPECT_EQ(files().size(), 3u) << "song.mp3, in.mp3, out.mp3 and nothing else";
}

// A longer existing destination is replaced whole, not overwritten at its start.
TEST_F(TransferTest, CopyReplacesAnExistingDestination) {
    d.writeFile("old.mp3", bytes(4 * MiB, 7));
    ASSERT_TRUE(platform::systemCopy("D:\\song.mp3", "D:\\old.mp3", {}, nullptr));
    EXPECT_EQ(d.readFile("old.mp3"), source);
    EXPECT_EQ(d.readFile("song.mp3"), source);
}

// A name near the length limit still gets a temporary name beside it.
TEST_F(TransferTest, CopyToANameNearTheLengthLimit) {
    std::string name;
    for (int i = 0; i < 123; ++i) {
        name += "я";
    }
    name += ".mp3"; // 250 bytes
    ASSERT_TRUE(platform::systemCopy("D:\\song.mp3", "D:\\" + name, {}, nullptr))
        << platform::lastErrorText();
    EXPECT_EQ(d.readFile(name), source);
}

// A cancel from the routine's answer or from the cell ends the copy with failure; the existing
// destination stays as it was and no partial file is left.
TEST_F(TransferTest, CancelLeavesTheOldDestinationAndNoPartialFile) {
    struct Case {
        const char* name;
        bool cellBeforeStart;
        bool cellFromRoutine; // else the routine answers Cancel
    };
    for (const Case& c : {Case{"answer", false, false}, Case{"cell set by the routine", false, true},
                          Case{"cell set before the start", true, false}}) {
        SCOPED_TRACE(c.name);
        d.writeFile("out.mp3", "old copy");
        auto before = files();
        cancelCell = c.cellBeforeStart ? -1 : 0;
        int calls = 0;
        auto routine = [&](int64_t, int64_t) {
            if (++calls < 2) {
                return CopyProgressAnswer::Continue;
            }
            cancelCell = c.cellFromRoutine ? -1 : 0;
            return c.cellFromRoutine ? CopyProgressAnswer::Continue : CopyProgressAnswer::Cancel;
        };
        EXPECT_FALSE(platform::systemCopy("D:\\song.mp3", "D:\\out.mp3", routine, &cancelCell));
        EXPECT_FALSE(platform::lastErrorText().empty());
        EXPECT_EQ(files(), before);
    }
}

// A source that shrinks while it is copied fails the copy (the data did not arrive); one that
// grows is copied to its new end.
TEST_F(TransferTest, SourceChangingDuringTheCopy) {
    struct Case {
        const char* name;
        int64_t newLength;
        bool copied;
    };
    for (const Case& c : {Case{"shrinks", MiB / 2, false}, Case{"grows", 5 * MiB, true}}) {
        SCOPED_TRACE(c.name);
        std::string changed = bytes(static_cast<size_t>(c.newLength), 3);
        d.writeFile("in.mp3", bytes(3 * MiB, 3));
        auto before = files();
        bool firstCall = true;
        auto routine = [&](int64_t, int64_t) {
            if (std::exchange(firstCall, false)) {
                d.writeFile("in.mp3", changed); // by path: the lock is advisory
            }
            return CopyProgressAnswer::Continue;
        };
        EXPECT_EQ(platform::systemCopy("D:\\in.mp3", "D:\\out.mp3", routine, nullptr), c.copied);
        if (c.copied) {
            EXPECT_EQ(d.readFile("out.mp3"), changed);
            fs::remove(d.hostPath("out.mp3"));
        } else {
            before["in.mp3"] = changed;
            EXPECT_EQ(files(), before);
        }
    }
}

// A file that another process holds with all sharing denied is neither read, replaced nor moved.
TEST_F(TransferTest, FilesLockedByAnotherProcessAreRefused) {
    struct Case {
        const char* name;
        const char* locked;
        std::function<bool()> transfer;
    };
    const Case cases[] = {
        {"copy from", "song.mp3",
         [] { return platform::systemCopy("D:\\song.mp3", "D:\\out.mp3", {}, nullptr); }},
        {"copy onto", "old.mp3",
         [] { return platform::systemCopy("D:\\song.mp3", "D:\\old.mp3", {}, nullptr); }},
        {"move", "song.mp3", [] { return platform::systemMove("D:\\song.mp3", "D:\\out.mp3") != Failed; }},
    };
    d.writeFile("old.mp3", "old copy");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto before = files();
        LockHolder holder(d.hostPath(c.locked));
        ASSERT_TRUE(holder.locked());
        EXPECT_FALSE(c.transfer());
        EXPECT_EQ(platform::lastErrorText(),
                  "The process cannot access the file because it is being used by another process");
        EXPECT_EQ(files(), before);
    }
}

// A copy onto the file it reads, under any other name of it, fails and destroys nothing, and
// so does the own copy's temporary file for it.
TEST_F(TransferTest, CopyOntoItselfFailsAndKeepsTheFile) {
    d.makeFolder("sub");
    ASSERT_EQ(::link(d.hostPath("song.mp3").c_str(), d.hostPath("link.mp3").c_str()), 0);
    platform::mountDrive('E', d.hostRoot());
    auto before = files();
    for (const char* dest :
         {"D:\\song.mp3", "d:/sub/../song.mp3", "E:\\song.mp3", "D:\\SONG.MP3", "D:\\link.mp3"}) {
        SCOPED_TRACE(dest);
        EXPECT_TRUE(platform::sameFile("D:\\song.mp3", dest));
        EXPECT_FALSE(platform::systemCopy("D:\\song.mp3", dest, {}, nullptr));
        int sourceFd = ::open(d.hostPath("song.mp3").c_str(), O_RDONLY | O_CLOEXEC);
        platform::PartialFile partial;
        EXPECT_FALSE(partial.open(dest, sourceFd));
        ::close(sourceFd);
        EXPECT_EQ(files(), before);
    }
    d.writeFile("other.mp3", source);
    EXPECT_FALSE(platform::sameFile("D:\\song.mp3", "D:\\other.mp3"));
}

// What cannot be a copy's source or destination fails before anything is written.
TEST_F(TransferTest, CopyRefusals) {
    d.makeFolder("Folder");
    auto before = files();
    for (auto [from, to] : {std::pair{"D:\\missing.mp3", "D:\\out.mp3"},
                            {"D:\\song.mp3", "D:\\No\\out.mp3"},
                            {"D:\\song.mp3", "D:\\Folder"},
                            {"D:\\Folder", "D:\\out.mp3"},
                            {"Q:\\song.mp3", "D:\\out.mp3"},
                            {"D:\\song.mp3", "\\\\server\\share\\out.mp3"}}) {
        SCOPED_TRACE(std::string(from) + " -> " + to);
        EXPECT_FALSE(platform::systemCopy(from, to, {}, nullptr));
        EXPECT_FALSE(platform::lastErrorText().empty());
        EXPECT_EQ(files(), before);
    }
}

// A disk that fills up (a file-size limit on a child process: short writes, then EFBIG) fails
// the transfer; the existing destination and the source survive and no partial file is left.
TEST_F(TransferTest, FullDiskFailsTheTransferAndLeavesNothing) {
    OtherVolumeDrive f('F', d.hostRoot());
    struct Case {
        const char* name;
        bool otherVolume;
        std::function<bool()> transfer;
    };
    const Case cases[] = {
        {"copy", false, [] { return platform::systemCopy("D:\\song.mp3", "D:\\new.mp3", {}, nullptr); }},
        {"copy over", false, [] { return platform::systemCopy("D:\\song.mp3", "D:\\old.mp3", {}, nullptr); }},
        {"copy across", true,
         [] { return platform::systemCopy("D:\\song.mp3", "F:\\old.mp3", {}, nullptr); }},
        {"move across", true,
         [] {
             const auto result = platform::systemMove("D:\\song.mp3", "F:\\new.mp3");
             return result == Moved || result == CopiedOnly;
         }},
    };
    d.writeFile("old.mp3", "old copy");
    if (f.available()) {
        std::ofstream(f.hostRoot() + "/old.mp3") << "old copy";
    }
    for (const Case& c : cases) {
        if (c.otherVolume && !f.available()) {
            continue;
        }
        SCOPED_TRACE(c.name);
        auto before = files();
        auto beforeOther = f.available() ? snapshot(f.hostRoot()) : before;
        int answer = inChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit = {64 * 1024 + 100, 64 * 1024 + 100};
            return ::setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 2 : c.transfer() ? 1 : 0;
        });
        EXPECT_EQ(answer, 0) << "0: failed as it should, 1: reported success";
        EXPECT_EQ(files(), before);
        if (f.available()) {
            EXPECT_EQ(snapshot(f.hostRoot()), beforeOther);
        }
    }
}

// A move renames on one volume and never replaces anything, not even another name of the same
// file (which a plain rename "replaces" by doing nothing).
TEST_F(TransferTest, MoveWithinAVolume) {
    struct Case {
        const char* from;
        const char* to;
        bool moves;
    };
    for (const Case& c : {Case{"a.mp3", "Moved/a.mp3", true}, Case{"Album", "Album 2", true},
                          Case{"a.mp3", "b.mp3", false}, Case{"a-link.mp3", "a.mp3", false},
                          Case{"a.mp3", "Album", false}, Case{"missing.mp3", "c.mp3", false}}) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        TempDrive v{'V'};
        v.writeFile("a.mp3", "A");
        v.writeFile("b.mp3", "B");
        v.writeFile("Album/x.mp3", "X");
        v.makeFolder("Moved");
        ASSERT_EQ(::link(v.hostPath("a.mp3").c_str(), v.hostPath("a-link.mp3").c_str()), 0);
        auto expected = snapshot(v.hostRoot());
        if (c.moves) {
            std::string from = c.from, to = c.to;
            for (const auto& [name, content] : snapshot(v.hostRoot())) {
                if (name == from || name.starts_with(from + "/")) {
                    expected.erase(name);
                    expected[to + name.substr(from.size())] = content;
                }
            }
        }
        EXPECT_EQ(platform::systemMove(v.programPath(c.from), v.programPath(c.to)), c.moves ? Moved : Failed);
        EXPECT_EQ(snapshot(v.hostRoot()), expected);
    }
}

// fusefat drops the source of a rename onto a name it refuses (any non-ASCII name): the move
// first creates the name, so a refused one fails with the source where it was, and an accepted
// one still moves. A name taken in another letter case stays taken. (Folders are not renamed
// here: fusefat 0.1a loses a folder's files on any rename of the folder.)
TEST(FatMoveTest, RefusedNameKeepsTheSource) {
    testsupport::FatImage stick;
    if (!stick.mounted()) {
        GTEST_SKIP() << "no FAT32 volume: " << stick.whyNotMounted();
    }
    testsupport::SavedDriveTable savedDrives;
    platform::mountDrive('S', stick.mountFolder());
    const std::string root = stick.mountFolder();
    std::ofstream(root + "/song.mp3") << "only copy";
    std::ofstream(root + "/Taken.mp3") << "taken";
    ASSERT_EQ(::mkdir((root + "/Album").c_str(), 0755), 0);
    std::ofstream(root + "/Album/x.mp3") << "X";
    const auto before = snapshot(root);

    for (const char* refused : {"S:\\Песня.mp3", "S:\\taken.MP3"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(platform::systemMove("S:\\song.mp3", refused), Failed);
        EXPECT_EQ(snapshot(root), before);
    }
    ASSERT_EQ(platform::systemMove("S:\\song.mp3", "S:\\Album\\Song 1.mp3"), Moved)
        << platform::lastErrorText();
    EXPECT_EQ(snapshot(root), (std::map<std::string, std::string>{{"Album", "<folder>"},
                                                                  {"Album/Song 1.mp3", "only copy"},
                                                                  {"Album/x.mp3", "X"},
                                                                  {"Taken.mp3", "taken"}}));
}

// fusefat answers a write onto a full volume with EPERM: the copy fails as a full disk, not as
// a refused permission, and leaves nothing behind.
TEST(FatMoveTest, FullVolumeFailsAsAFullDisk) {
    testsupport::FatImage stick(34 * 1024);
    if (!stick.mounted()) {
        GTEST_SKIP() << "no FAT32 volume: " << stick.whyNotMounted();
    }
    TempDrive d{'D'};
    d.writeFile("big.mp3", bytes(40 * MiB));
    testsupport::SavedDriveTable savedDrives;
    platform::mountDrive('S', stick.mountFolder());
    EXPECT_FALSE(platform::systemCopy("D:\\big.mp3", "S:\\big.mp3", {}, nullptr));
    EXPECT_EQ(platform::lastError(), platform::FileError::DiskFull) << platform::lastErrorText();
    EXPECT_TRUE(snapshot(stick.mountFolder()).empty());
}

// Across volumes a move copies (content and time kept) and removes the source; it refuses an
// existing destination before copying anything.
TEST_F(TransferTest, MoveAndCopyAcrossVolumes) {
    OtherVolumeDrive f('F', d.hostRoot());
    if (!f.available()) {
        GTEST_SKIP() << "/dev/shm is not a volume of its own here";
    }
    ASSERT_TRUE(platform::systemCopy("D:\\song.mp3", "F:\\copy.mp3", {}, nullptr))
        << platform::lastErrorText();
    EXPECT_EQ(d.readFile("song.mp3"), source);

    d.writeFile("b.mp3", "B");
    auto before = files();
    EXPECT_EQ(platform::systemMove("F:\\copy.mp3", "D:\\b.mp3"), Failed);
    EXPECT_EQ(files(), before);

    ASSERT_EQ(platform::systemMove("D:\\song.mp3", "F:\\moved.mp3"), Moved) << platform::lastErrorText();
    EXPECT_FALSE(d.exists("song.mp3"));
    auto other = snapshot(f.hostRoot());
    EXPECT_EQ(other.size(), 2u);
    EXPECT_EQ(other["copy.mp3"], source);
    EXPECT_EQ(other["moved.mp3"], source);
    for (const char* name : {"/copy.mp3", "/moved.mp3"}) {
        EXPECT_EQ(modified(f.hostRoot() + name).tv_sec, SourceTime.tv_sec) << name;
    }
}

// The own copy's destination: written under a temporary name, put in place by commit, and gone
// without a trace when discarded or refused.
TEST_F(TransferTest, PartialFileCommitsReplacesOrLeavesNothing) {
    d.writeFile("old.mp3", "old copy");
    auto before = files();
    {
        platform::PartialFile partial;
        ASSERT_TRUE(partial.open("D:\\new.mp3"));
        EXPECT_EQ(platform::writeFile(partial.handle(), "abc", 3), 3);
        EXPECT_FALSE(d.exists("new.mp3")) << "not at its final name before the commit";
    }
    EXPECT_EQ(files(), before) << "discarded when destroyed";

    platform::PartialFile partial;
    ASSERT_TRUE(partial.open("D:\\old.mp3"));
    ASSERT_EQ(platform::writeFile(partial.handle(), "abc", 3), 3);
    EXPECT_FALSE(partial.commit(platform::ExistingFile::Keep));
    EXPECT_EQ(files(), before);

    ASSERT_TRUE(partial.open("D:\\old.mp3"));
    ASSERT_EQ(platform::writeFile(partial.handle(), "abc", 3), 3);
    int sourceFd = ::open(d.hostPath("song.mp3").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_TRUE(platform::copyModificationTime(sourceFd, partial.handle()));
    ::close(sourceFd);
    ASSERT_TRUE(partial.commit(platform::ExistingFile::Replace));
    EXPECT_EQ(d.readFile("old.mp3"), "abc");
    EXPECT_EQ(modified(d.hostPath("old.mp3")).tv_nsec, SourceTime.tv_nsec);
    EXPECT_EQ(files().size(), before.size());
}

// Where the file system has no RENAME_NOREPLACE, the fallback still never replaces.
TEST_F(TransferTest, RenameWithoutReplaceFallback) {
    d.writeFile("a.mp3", "A");
    d.writeFile("b.mp3", "B");
    ASSERT_EQ(::link(d.hostPath("a.mp3").c_str(), d.hostPath("a-link.mp3").c_str()), 0);
    auto before = files();
    EXPECT_FALSE(platform::detail::renameNoReplaceFallback(d.hostPath("a.mp3"), d.hostPath("b.mp3")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(platform::detail::renameNoReplaceFallback(d.hostPath("a-link.mp3"), d.hostPath("a.mp3")));
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(platform::detail::renameNoReplaceFallback(d.hostPath("a.mp3"), d.hostPath("c.mp3")));
    EXPECT_FALSE(d.exists("a.mp3"));
    EXPECT_EQ(d.readFile("c.mp3"), "A");
}

// The temporary file beside a name at the length limit still fits: the name is cut at a whole
// UTF-8 character, and both writers of this folder that use it succeed on such a name.
TEST(TempBesideTest, LongNamesAreCutAtACharacterBoundary) {
    TempDrive d;
    std::string accented = "x";
    for (int i = 0; i < 127; ++i) {
        accented += "\xC3\xA9"; // é
    }
    for (const std::string& name : {std::string(255, 'a'), accented}) {
        ASSERT_EQ(name.size(), 255u);
        std::string tempPath;
        int fd = platform::detail::createTempBeside(d.hostRoot(), name, tempPath);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        ::close(fd);
        std::string tempName = tempPath.substr(tempPath.rfind('/') + 1);
        ::unlink(tempPath.c_str());
        EXPECT_LE(tempName.size(), 255u);
        std::string kept = tempName.substr(1, tempName.rfind(".tw-partial-") - 1);
        EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
        EXPECT_NE(static_cast<unsigned char>(name[kept.size()]) & 0xC0, 0x80);

        EXPECT_TRUE(platform::writeFileAtomically(d.programPath(name), "abc"));
        EXPECT_EQ(d.readFile(name), "abc");
        platform::PartialFile partial;
        ASSERT_TRUE(partial.open(d.programPath(name)));
        ASSERT_TRUE(partial.commit(platform::ExistingFile::Replace));
        EXPECT_EQ(d.readFile(name), "");
        EXPECT_EQ(snapshot(d.hostRoot()), (std::map<std::string, std::string>{{name, ""}}));
        ::unlink(d.hostPath(name).c_str());
    }
}

} // namespace
