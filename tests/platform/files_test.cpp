#include "platform/drives.h"
#include "platform/files.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::TempDrive;

// Another process that holds a host file open with an exclusive flock until release().
class LockHoldingProcess {
public:
    explicit LockHoldingProcess(const std::string& hostPath) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0) {
            throw std::runtime_error("pipe");
        }
        m_child = ::fork();
        if (m_child == 0) {
            ::close(m_release[1]); // so that the parent's close reads as the end
            int fd = ::open(hostPath.c_str(), O_RDONLY);
            char byte = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            [[maybe_unused]] auto written = ::write(ready[1], &byte, 1);
            [[maybe_unused]] auto got = ::read(m_release[0], &byte, 1); // until release() or the parent ends
            ::_exit(0);
        }
        char byte = 'n';
        m_locked = ::read(ready[0], &byte, 1) == 1 && byte == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(m_release[0]);
    }
    ~LockHoldingProcess() { release(); }
    bool locked() const { return m_locked; }
    void release() {
        if (m_child > 0) {
            ::close(m_release[1]);
            ::waitpid(m_child, nullptr, 0);
            m_child = -1;
        }
    }

private:
    pid_t m_child = -1;
    int m_release[2] = {-1, -1};
    bool m_locked = false;
};

// A file that another process holds cannot be opened or created over until that process ends.
TEST(FilesTest, FileHeldByAnotherProcessCannotBeOpened) {
    TempDrive d;
    d.writeFile("a.mp3", "abc");
    LockHoldingProcess holder(d.hostPath("a.mp3"));
    ASSERT_TRUE(holder.locked());
    EXPECT_EQ(platform::openFileExclusive("D:\\a.mp3"), platform::InvalidFile);
    EXPECT_EQ(platform::lastErrorText(),
              "The process cannot access the file because it is being used by another process");
    EXPECT_EQ(platform::createFileExclusive("D:\\A.MP3"), platform::InvalidFile);
    EXPECT_EQ(platform::exclusiveFileLength("D:\\a.mp3"), -1);
    EXPECT_EQ(platform::lastErrorText(),
              "The process cannot access the file because it is being used by another process");
    holder.release();
    EXPECT_EQ(platform::exclusiveFileLength("D:\\a.mp3"), 3);
    platform::FileHandle file = platform::openFileExclusive("D:\\a.mp3");
    ASSERT_NE(file, platform::InvalidFile);
    EXPECT_TRUE(platform::closeFile(file));
}

// Within the program too, a second open of a held file fails until the first is closed.
TEST(FilesTest, OpenDeniesSharingToALaterOpen) {
    TempDrive d;
    d.writeFile("a.mp3", "abc");
    platform::FileHandle first = platform::openFileExclusive("D:\\a.mp3");
    ASSERT_NE(first, platform::InvalidFile);
    EXPECT_EQ(platform::openFileExclusive("D:\\a.mp3"), platform::InvalidFile);
    EXPECT_TRUE(platform::closeFile(first));
    platform::FileHandle second = platform::openFileExclusive("D:\\a.mp3");
    EXPECT_NE(second, platform::InvalidFile);
    platform::closeFile(second);
}

// Opens fail with a sentence for what is not an openable file, and never hang on a pipe.
TEST(FilesTest, OpenRefusesWhatIsNotAFile) {
    TempDrive d;
    d.makeFolder("Folder");
    ASSERT_EQ(::mkfifo(d.hostPath("pipe.mp3").c_str(), 0600), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\missing.mp3", "No such file or directory"},
        {"D:\\Folder", "Is a directory"},
        {"D:\\pipe.mp3", "Not a regular file"},
        {"Q:\\a.mp3", "The system cannot find the drive specified"},
        {"\\\\server\\share\\a.mp3", "The system cannot find the drive specified"},
    };
    for (const auto& [path, text] : cases) {
        EXPECT_EQ(platform::openFileExclusive(path), platform::InvalidFile) << path;
        EXPECT_EQ(platform::lastErrorText(), text) << path;
        EXPECT_EQ(platform::exclusiveFileLength(path), -1) << path;
        EXPECT_EQ(platform::lastErrorText(), text) << path;
    }
    EXPECT_EQ(platform::createFileExclusive("D:\\pipe.mp3"), platform::InvalidFile);
    EXPECT_EQ(platform::createFileExclusive("D:\\Folder"), platform::InvalidFile);
    EXPECT_EQ(platform::createFileExclusive("D:\\No\\a.mp3"), platform::InvalidFile);
}

// The length is measured as written and, failing that, after the host's letter case; past
// 4 GiB it is the real 64-bit length.
TEST(FilesTest, ExclusiveLengthFindsTheFileInAnyLetterCase) {
    TempDrive d;
    d.writeFile("Album/Song.mp3", "12345");
    d.writeFile("Album/Big.mp3");
    ASSERT_EQ(::truncate(d.hostPath("Album/Big.mp3").c_str(), int64_t{5} << 30), 0);
    const std::pair<const char*, int64_t> cases[] = {
        {"D:\\Album\\Song.mp3", 5},   {"D:\\ALBUM\\song.MP3", 5},
        {"D:/album/./Song.mp3", 5},   {"D:\\Album\\Big.mp3", int64_t{5} << 30},
        {"D:\\Album\\Other.mp3", -1},
    };
    for (const auto& [path, length] : cases) {
        EXPECT_EQ(platform::exclusiveFileLength(path), length) << path;
    }
}

// Create makes a missing file and opens an existing one without cutting it; read, write,
// seek and truncate work through the handle.
TEST(FilesTest, CreateKeepsContentAndHandleReadsAndWrites) {
    TempDrive d;
    d.writeFile("a.mp3", "hello world");
    platform::FileHandle file = platform::createFileExclusive("D:\\A.mp3");
    ASSERT_NE(file, platform::InvalidFile);
    EXPECT_EQ(platform::fileLength(file), 11);
    char buffer[16] = {};
    EXPECT_EQ(platform::seekFile(file, 6), 6);
    EXPECT_EQ(platform::readFile(file, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(platform::readFile(file, buffer, sizeof buffer), 0);
    EXPECT_EQ(platform::filePosition(file), 11);
    EXPECT_EQ(platform::seekFile(file, -1), -1);
    EXPECT_EQ(platform::writeFile(file, "!!", 2), 2);
    EXPECT_TRUE(platform::truncateFile(file, 5));
    EXPECT_EQ(platform::fileLength(file), 5);
    EXPECT_TRUE(platform::closeFile(file));
    EXPECT_EQ(d.readFile("a.mp3"), "hello");

    platform::FileHandle fresh = platform::createFileExclusive("D:\\new.mp3");
    ASSERT_NE(fresh, platform::InvalidFile);
    EXPECT_EQ(platform::fileLength(fresh), 0);
    platform::closeFile(fresh);
    EXPECT_TRUE(d.exists("new.mp3"));
}

// A write that the file-size limit cuts short reports the bytes that went and the reason.
TEST(FilesTest, ShortWriteReportsWhatWasWritten) {
    TempDrive d;
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        platform::FileHandle file = platform::createFileExclusive("D:\\big.bin");
        std::string data(5000, 'x');
        int64_t first = platform::writeFile(file, data.data(), 5000);
        int64_t second = platform::writeFile(file, data.data(), 5000);
        bool ok = first == 1000 && second == -1 && platform::lastErrorText() == "File too large";
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(d.readFile("big.bin").size(), 1000u);
}

// Existence tests tell files from folders, ignore letter case and say no for absent drives.
TEST(FilesTest, ExistenceTellsFilesFromFolders) {
    TempDrive d;
    d.writeFile("Music/a.mp3");
    struct Case {
        const char* path;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {"D:\\Music\\a.mp3", true, false},  {"d:/MUSIC/A.MP3", true, false},
        {"D:\\Music", false, true},         {"D:\\", false, true},
        {"D:\\Music\\b.mp3", false, false}, {"Q:\\Music", false, false},
        {"\\\\srv\\Music", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::fileExists(c.path), c.file) << c.path;
        EXPECT_EQ(platform::folderExists(c.path), c.folder) << c.path;
    }
}

// Delete removes files only.
TEST(FilesTest, DeleteRemovesFilesOnly) {
    TempDrive d;
    d.writeFile("a.mp3");
    d.makeFolder("Folder");
    EXPECT_TRUE(platform::deleteFile("D:\\A.mp3"));
    EXPECT_FALSE(d.exists("a.mp3"));
    EXPECT_FALSE(platform::deleteFile("D:\\a.mp3"));
    EXPECT_FALSE(platform::deleteFile("D:\\Folder"));
    EXPECT_TRUE(d.exists("Folder"));
}

// Force-create makes every missing folder, reuses the spelling of existing ones and leaves
// short texts, drive roots and existing folders alone.
TEST(FilesTest, ForceFoldersMakesMissingParents) {
    TempDrive d;
    d.writeFile("Music/file.mp3");
    ASSERT_TRUE(platform::setCurrentFolder("D:\\"));
    struct Case {
        const char* path;
        bool result;
        const char* made; // a host folder below the drive that must exist afterwards
    };
    const Case cases[] = {
        {"D:\\a\\b\\c", true, "a/b/c"},
        {"D:/x/y/", true, "x/y"},
        {"D:\\MUSIC\\Rock\\Live", true, "Music/Rock/Live"},
        {"D:\\Music", true, "Music"},
        {"D:\\", true, ""},
        {"abc", true, "abc"},
        {"ab", false, nullptr},
        {"D:\\Music\\file.mp3\\sub", false, nullptr},
        {"Q:\\a\\b", false, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::forceFolders(c.path), c.result) << c.path;
        if (c.made != nullptr) {
            EXPECT_TRUE(d.exists(c.made)) << c.path;
        }
    }
    EXPECT_FALSE(d.exists("ab"));
    EXPECT_FALSE(d.exists("MUSIC"));
}

int64_t hostFreeBytes(const std::string& hostFolder) {
    struct statvfs volume;
    return ::statvfs(hostFolder.c_str(), &volume) == 0
               ? static_cast<int64_t>(volume.f_bavail * volume.f_frsize)
               : -2;
}

// Free space measures the volume of the nearest existing folder, which may differ from the
// drive's own (here a link into /dev/shm), and is -1 for an unmapped drive.
TEST(FilesTest, FreeSpaceMeasuresTheNearestExistingFolder) {
    TempDrive d;
    struct stat shm, root;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(d.hostRoot().c_str(), &root) != 0 ||
        shm.st_dev == root.st_dev) {
        GTEST_SKIP() << "needs /dev/shm on a volume of its own";
    }
    ASSERT_EQ(::symlink("/dev/shm", d.hostPath("Stick").c_str()), 0);
    EXPECT_EQ(platform::freeSpace('Q', "Q:\\"), -1);

    int64_t before = hostFreeBytes("/dev/shm");
    int64_t measured = platform::freeSpace('d', "D:\\stick\\New\\Deeper\\a.mp3");
    int64_t after = hostFreeBytes("/dev/shm");
    EXPECT_GE(measured, std::min(before, after));
    EXPECT_LE(measured, std::max(before, after));
    EXPECT_NE(measured, platform::freeSpace('D', "D:\\"));
}

// Reading a whole file honours the cap exactly.
TEST(FilesTest, ReadWholeFileRefusesFilesOverTheCap) {
    TempDrive d;
    d.writeFile("ten.bin", "0123456789");
    d.writeFile("empty.bin");
    struct Case {
        const char* path;
        int64_t cap;
        const char* content; // nullptr: refused
    };
    const Case cases[] = {
        {"D:\\ten.bin", 9, nullptr},       {"D:\\ten.bin", 10, "0123456789"},
        {"D:\\ten.bin", 11, "0123456789"}, {"D:\\ten.bin", 0, nullptr},
        {"D:\\ten.bin", -1, nullptr},      {"D:\\empty.bin", 0, ""},
        {"D:\\none.bin", 10, nullptr},     {"D:\\TEN.BIN", INT64_MAX, "0123456789"},
    };
    for (const auto& c : cases) {
        std::string content = "stale";
        EXPECT_EQ(platform::readWholeFile(c.path, content, c.cap), c.content != nullptr)
            << c.path << " " << c.cap;
        EXPECT_EQ(content, c.content != nullptr ? c.content : "") << c.path << " " << c.cap;
    }
    std::string content;
    EXPECT_FALSE(platform::readWholeFile("D:\\ten.bin", content, 9));
    EXPECT_EQ(platform::lastErrorText(), "File too large");
}

// The cap holds for a file longer than its stated length (kernel files state 0).
TEST(FilesTest, ReadWholeFileCapsWhatItReadsNotWhatTheFileStates) {
    std::string content;
    ASSERT_TRUE(platform::readWholeFile("Z:\\proc\\self\\status", content, 1 << 20));
    EXPECT_TRUE(content.starts_with("Name:")) << content;
    EXPECT_FALSE(platform::readWholeFile("Z:\\proc\\self\\status", content, 10));
    EXPECT_EQ(content, "");
}

std::vector<std::string> namesIn(const std::string& hostFolder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(hostFolder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An atomic write replaces the file whole, keeps its permissions and leaves nothing beside it.
TEST(FilesTest, WriteFileAtomicallyReplacesTheFile) {
    TempDrive d;
    d.writeFile("conf.fdb", "old settings");
    ASSERT_EQ(::chmod(d.hostPath("conf.fdb").c_str(), 0640), 0);
    EXPECT_TRUE(platform::writeFileAtomically("D:\\CONF.fdb", "new"));
    EXPECT_TRUE(platform::writeFileAtomically("D:\\other.fdb", std::string(100000, 'x')));
    EXPECT_EQ(d.readFile("conf.fdb"), "new");
    EXPECT_EQ(d.readFile("other.fdb"), std::string(100000, 'x'));
    struct stat info;
    ASSERT_EQ(::stat(d.hostPath("conf.fdb").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(namesIn(d.hostRoot()), (std::vector<std::string>{"conf.fdb", "other.fdb"}));
    EXPECT_FALSE(platform::writeFileAtomically("D:\\Missing\\conf.fdb", "x"));
    EXPECT_FALSE(platform::writeFileAtomically("D:\\", "x"));
}

// A write that fails half-way (a file-size limit stands in for a full disk) keeps the old
// file as it was and leaves no temporary file.
TEST(FilesTest, FailedAtomicWriteKeepsTheOldFile) {
    TempDrive d;
    d.writeFile("conf.fdb", "old settings");
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(platform::writeFileAtomically("D:\\conf.fdb", std::string(1 << 20, 'x')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write claimed success";
    EXPECT_EQ(d.readFile("conf.fdb"), "old settings");
    EXPECT_EQ(namesIn(d.hostRoot()), std::vector<std::string>{"conf.fdb"});
}

} // namespace
