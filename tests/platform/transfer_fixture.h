// What the transfer tests share: recognisable bytes, file times, snapshots of a folder, work in
// a child process, a lock held by another process, a second volume, and a drive D: holding a
// 3 MiB "song.mp3".
#pragma once

#include "platform/drives.h"
#include "platform/transfer.h"
#include "support/lock_holder.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace transfertest {

namespace fs = std::filesystem;
using platform::CopyProgressAnswer;
using testsupport::LockHolder;
using testsupport::TempDrive;

constexpr int64_t MiB = 1 << 20;
constexpr struct timespec SourceTime = {1000000000, 123456789};

// Bytes that differ from chunk to chunk, so a misplaced or repeated chunk shows.
inline std::string bytes(size_t size, uint32_t seed = 1) {
    std::string text(size, '\0');
    uint32_t x = seed;
    for (char& c : text) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return text;
}

inline void setModified(const std::string& hostPath, struct timespec time) {
    const struct timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, hostPath.c_str(), times, 0), 0);
}

inline struct timespec modified(const std::string& hostPath) {
    struct stat info = {};
    ::stat(hostPath.c_str(), &info);
    return info.st_mtim;
}

// Every entry under a host folder with the content of its files: a failed transfer must leave
// this unchanged (nothing destroyed, no partial file, no temporary name).
inline std::map<std::string, std::string> snapshot(const std::string& hostRoot) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(hostRoot)) {
        std::string name = fs::relative(entry.path(), hostRoot).string();
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            entries[name] = std::string(std::istreambuf_iterator<char>(in), {});
        } else {
            entries[name] = "<folder>";
        }
    }
    return entries;
}

// Runs `work` in a child process; its exit code, or -1 when it did not exit.
inline int inChild(const std::function<int()>& work) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(work());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A temporary folder in /dev/shm mounted as a drive, for transfers between two volumes; not
// available when /dev/shm is missing or on the same device as `than`.
class OtherVolumeDrive {
public:
    OtherVolumeDrive(char letter, const std::string& than) : m_letter(letter) {
        std::string pattern = "/dev/shm/tw-volume-XXXXXX";
        struct stat here, there;
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        m_hostRoot = pattern;
        platform::mountDrive(letter, m_hostRoot);
        m_available = ::stat(m_hostRoot.c_str(), &here) == 0 && ::stat(than.c_str(), &there) == 0 &&
                      here.st_dev != there.st_dev;
    }
    ~OtherVolumeDrive() {
        if (!m_hostRoot.empty()) {
            platform::unmountDrive(m_letter);
            fs::remove_all(m_hostRoot);
        }
    }
    bool available() const { return m_available; }
    const std::string& hostRoot() const { return m_hostRoot; }

private:
    char m_letter;
    std::string m_hostRoot;
    bool m_available = false;
};

struct ProgressLog {
    std::vector<std::pair<int64_t, int64_t>> calls;
    platform::CopyProgressRoutine routine() {
        return [this](int64_t total, int64_t transferred) {
            calls.emplace_back(total, transferred);
            return CopyProgressAnswer::Continue;
        };
    }
};

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = bytes(3 * MiB + 5);
        d.writeFile("song.mp3", source);
        setModified(d.hostPath("song.mp3"), SourceTime);
    }
    std::map<std::string, std::string> files() const { return snapshot(d.hostRoot()); }

    testsupport::SavedDriveTable savedTable;
    TempDrive d{'D'};
    std::string source;
    volatile int32_t cancelCell = 0;
};

} // namespace transfertest
