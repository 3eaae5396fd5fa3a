// Writing a destination safely on a POSIX host: the temporary file beside the destination, its
// commit to the final name, and the checks that keep a copy from destroying its own source.
#include "platform/drives.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/path_text.h"
#include "platform/transfer_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
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

bool isPartialFileName(std::string_view name) {
    if (name.size() < 1 + PartialTag.size() + RandomChars || name.front() != '.') {
        return false;
    }
    std::string_view tail = name.substr(name.size() - RandomChars);
    for (char c : tail) {
        bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alphanumeric) {
            return false;
        }
    }
    return name.substr(name.size() - RandomChars - PartialTag.size(), PartialTag.size()) == PartialTag;
}

int createTempBeside(const std::string& folder, std::string_view name, std::string& tempPath,
                     uint64_t* volume) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tempName = partialName(name);
        tempPath = joinHostPath(folder, tempName);
        OwnFolderChange change(folder);
        UniqueFd fd(::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (!fd) {
            if (errno != EEXIST) {
                break;
            }
            change.nothingChanged();
            continue;
        }
        // A cleaner may take the new file for an abandoned one in the moment before it is locked:
        // it then holds the lock (our flock fails) or has already removed the name (no links
        // left). Either way this name is lost and another is taken.
        struct stat info;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd.get(), &info) == 0 && info.st_nlink > 0) {
            change.done(tempName, {});
            if (volume != nullptr) {
                *volume = info.st_dev;
            }
            return fd.release();
        }
        errno = EEXIST;
    }
    tempPath.clear();
    return -1;
}

bool closeKeepingLock(int fd, UniqueFd& keeper) {
    keeper.reset(::dup(fd));
    return ::close(fd) == 0;
}

bool renameKeepingIndex(const std::string& from, const std::string& to, bool noReplace, bool isFolder) {
    auto [fromFolder, fromName] = splitHostFolder(from);
    auto [toFolder, toName] = splitHostFolder(to);
    OwnFolderChange leaving(fromFolder);
    std::optional<OwnFolderChange> arriving;
    if (toFolder != fromFolder) {
        arriving.emplace(toFolder);
    }
    if (!(noReplace ? renameNoReplace(from, to) : ::rename(from.c_str(), to.c_str()) == 0)) {
        if (errno == EEXIST) {
            leaving.nothingChanged();
            if (arriving) {
                arriving->nothingChanged();
            }
        }
        return false;
    }
    if (arriving) {
        leaving.done({}, fromName);
        arriving->done(toName, {}, isFolder);
    } else {
        leaving.done(toName, fromName, isFolder);
    }
    return true;
}

bool removeKeepingIndex(const std::string& path) {
    auto [folder, name] = splitHostFolder(path);
    OwnFolderChange change(folder);
    if (::unlink(path.c_str()) != 0) {
        return false;
    }
    change.done({}, name);
    return true;
}

bool putUnderFreeName(std::string& programDest, std::string& hostDest, const TakenNameRoutine& onTaken,
                      const std::function<bool(const std::string& hostDest)>& put) {
    // A routine that keeps answering taken names (a folder of that name, say) cannot hold the
    // transfer up for ever.
    constexpr int MaxNames = 1000;
    for (int attempt = 0; attempt < MaxNames; ++attempt) {
        if (put(hostDest)) {
            return true;
        }
        if (errno != EEXIST || !onTaken) {
            return false;
        }
        std::optional<std::string> next = onTaken(programDest);
        std::optional<std::string> nextHost = next ? toHostPath(*next) : std::nullopt;
        if (!next || *next == programDest || !nextHost) {
            break;
        }
        programDest = std::move(*next);
        hostDest = std::move(*nextHost);
    }
    errno = EEXIST;
    return false;
}

bool copyModificationTime(int from, int to, const struct stat* seen) {
    struct stat info;
    if (seen == nullptr && ::fstat(from, &info) != 0) {
        return false;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, (seen != nullptr ? seen : &info)->st_mtim};
    return ::futimens(to, times) == 0;
}

bool failNoDrive() {
    setLastErrorText(NoDriveText);
    errno = ENOENT;
    return false;
}

bool PartialFileAccess::open(PartialFile& partial, const std::string& hostDest, std::string programDest,
                             int sourceFd, bool destMissing) {
    partial.discard();
    size_t slash = hostDest.rfind('/');
    std::string folder = slash == 0 ? "/" : hostDest.substr(0, slash);
    std::string name = slash == std::string::npos ? hostDest : hostDest.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        errno = EISDIR;
        return false;
    }
    UniqueFd held;
    if (!destMissing && !holdExistingDestination(hostDest, sourceFd, held)) {
        return false;
    }
    std::string tempPath;
    int fd = createTempBeside(folder, name, tempPath, &partial.m_volume);
    if (fd < 0) {
        return false;
    }
    partial.m_file = fd;
    partial.m_heldDest = held.release();
    partial.m_tempPath = std::move(tempPath);
    partial.m_destPath = hostDest;
    partial.m_destName = std::move(programDest);
    return true;
}

} // namespace detail

bool PartialFile::open(const ResolvedPath& dest, FileHandle source) {
    discard();
    const auto& hostDest = dest.hostPath();
    if (!hostDest) {
        return detail::failNoDrive();
    }
    if (detail::PartialFileAccess::open(*this, *hostDest, dest.programPath(), source, dest.missing())) {
        return true;
    }
    int error = errno;
    struct stat read, written;
    if (source != InvalidFile && ::fstat(source, &read) == 0 && ::stat(hostDest->c_str(), &written) == 0 &&
        detail::sameInode(read, written)) {
        detail::setLastErrorText("The source and the destination are the same file", FileError::SameFile);
        return false;
    }
    errno = error;
    return detail::failWithErrno();
}

bool PartialFile::commit(ExistingFile existing, const TakenNameRoutine& onTaken,
                         const WrittenCopyCheck& check) {
    if (m_file == InvalidFile) {
        errno = EBADF;
        return detail::failWithErrno();
    }
    detail::UniqueFd lock;
    bool done = detail::closeKeepingLock(std::exchange(m_file, InvalidFile), lock);
    if (done && check && !check(toProgramPath(m_tempPath))) {
        discard();
        detail::setLastErrorText("The copy was refused by its check");
        errno = EIO;
        return false;
    }
    if (done && existing == ExistingFile::Replace) {
        done = detail::renameKeepingIndex(m_tempPath, m_destPath, false);
    } else if (done) {
        done = detail::putUnderFreeName(m_destName, m_destPath, onTaken, [this](const std::string& hostDest) {
            return detail::renameKeepingIndex(m_tempPath, hostDest, true);
        });
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
        detail::removeKeepingIndex(m_tempPath);
        m_tempPath.clear();
    }
    if (m_heldDest != InvalidFile) {
        ::close(std::exchange(m_heldDest, InvalidFile));
    }
    m_destPath.clear();
    m_destName.clear();
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
