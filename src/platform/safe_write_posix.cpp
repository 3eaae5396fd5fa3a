// Writing a destination safely on a POSIX host: the temporary file beside the destination, its
// commit to the final name, and the checks that keep a copy from destroying its own source.
#include "platform/drives.h"
#include "platform/last_error.h"
#include "platform/path_text.h"
#include "platform/transfer_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace platform {
namespace detail {
namespace {

constexpr size_t NameMax = 255; // bytes in one name, the common limit of Linux file systems
constexpr std::string_view PartialTag = ".tw-partial-";
constexpr int RandomChars = 6;

bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string randomChars() {
    static constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (int i = 0; i < RandomChars; ++i) {
        text += alphabet[pick(generator)];
    }
    return text;
}

// ".<name>.tw-partial-XXXXXX", the name shortened (at a character boundary of its UTF-8) so that
// a destination name near the length limit still has a temporary name.
std::string partialName(std::string_view name) {
    size_t room = NameMax - 1 - PartialTag.size() - RandomChars;
    if (name.size() > room) {
        while (room > 0 && (static_cast<unsigned char>(name[room]) & 0xC0) == 0x80) {
            --room;
        }
        name = name.substr(0, room);
    }
    return "." + std::string(name) + std::string(PartialTag) + randomChars();
}

// Opens and locks a file that already stands at `hostDest`, without truncating it; leaves `held`
// empty when nothing is there. Refuses the file being read, a folder and anything not a file
// (looked at before the open: a FIFO without a reader would refuse a write-only open otherwise).
bool holdExistingDestination(const std::string& hostDest, int sourceFd, UniqueFd& held) {
    struct stat info;
    if (::stat(hostDest.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    UniqueFd fd(openLockedHost(hostDest, O_WRONLY, info));
    if (!fd) {
        return false;
    }
    struct stat source;
    if (sourceFd >= 0) {
        if (::fstat(sourceFd, &source) != 0) {
            return false;
        }
        if (sameInode(source, info)) {
            errno = EWOULDBLOCK; // a copy onto itself: the file is held by this very copy
            return false;
        }
    }
    held.reset(fd.release());
    return true;
}

} // namespace

int createTempBeside(const std::string& folder, std::string_view name, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = joinHostPath(folder, partialName(name));
        int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    tempPath.clear();
    return -1;
}

bool copyModificationTime(int from, int to) {
    struct stat info;
    if (::fstat(from, &info) != 0) {
        return false;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    return ::futimens(to, times) == 0;
}

bool failNoDrive() {
    setLastErrorText(NoDriveText);
    errno = ENOENT;
    return false;
}

bool PartialFileAccess::open(PartialFile& partial, const std::string& hostDest, int sourceFd) {
    partial.discard();
    size_t slash = hostDest.rfind('/');
    std::string folder = slash == 0 ? "/" : hostDest.substr(0, slash);
    std::string name = slash == std::string::npos ? hostDest : hostDest.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        errno = EISDIR;
        return false;
    }
    UniqueFd held;
    if (!holdExistingDestination(hostDest, sourceFd, held)) {
        return false;
    }
    std::string tempPath;
    int fd = createTempBeside(folder, name, tempPath);
    if (fd < 0) {
        return false;
    }
    partial.m_file = fd;
    partial.m_heldDest = held.release();
    partial.m_tempPath = std::move(tempPath);
    partial.m_destPath = hostDest;
    return true;
}

} // namespace detail

bool PartialFile::open(std::string_view dest, FileHandle source) {
    discard();
    auto hostDest = toHostPath(dest);
    if (!hostDest) {
        return detail::failNoDrive();
    }
    return detail::PartialFileAccess::open(*this, *hostDest, source) || detail::failWithErrno();
}

bool PartialFile::commit(ExistingFile existing) {
    if (m_file == InvalidFile) {
        errno = EBADF;
        return detail::failWithErrno();
    }
    bool done = ::close(std::exchange(m_file, InvalidFile)) == 0;
    if (done) {
        done = existing == ExistingFile::Replace ? ::rename(m_tempPath.c_str(), m_destPath.c_str()) == 0
                                                 : detail::renameNoReplace(m_tempPath, m_destPath);
    }
    if (done) {
        m_tempPath.clear();
    }
    int error = errno;
    discard();
    errno = error;
    return done || detail::failWithErrno();
}

void PartialFile::discard() {
    int saved = errno;
    if (m_file != InvalidFile) {
        ::close(std::exchange(m_file, InvalidFile));
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    if (m_heldDest != InvalidFile) {
        ::close(std::exchange(m_heldDest, InvalidFile));
    }
    m_destPath.clear();
    errno = saved;
}

bool sameFile(std::string_view first, std::string_view second) {
    auto hostFirst = toHostPath(first);
    auto hostSecond = toHostPath(second);
    struct stat a, b;
    if (!hostFirst || !hostSecond) {
        return detail::failNoDrive();
    }
    if (::stat(hostFirst->c_str(), &a) != 0 || ::stat(hostSecond->c_str(), &b) != 0) {
        return detail::failWithErrno();
    }
    return detail::sameInode(a, b);
}

bool copyModificationTime(FileHandle from, FileHandle to) {
    return detail::copyModificationTime(from, to) || detail::failWithErrno();
}

} // namespace platform
