// File services on a POSIX host: open with all sharing denied as an exclusive flock, and folder
// creation. flock belongs to the open file description, so closing another descriptor of the
// same file does not drop it (fcntl locks would vanish).
#include "platform/files.h"

#include "platform/drives.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/path_text.h"
#include "platform/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr const char* SharingViolationText =
    "The process cannot access the file because it is being used by another process";
constexpr const char* NotAFileText = "Not a regular file";

// Only st_mode is filled when the name lookup already saw the entry; a link is followed.
bool statProgramPath(std::string_view path, struct stat& info) {
    auto location = detail::locateProgramPath(path);
    if (!location || location->missing) {
        return false;
    }
    if (location->mode != 0 && !S_ISLNK(location->mode)) {
        info.st_mode = location->mode;
        return true;
    }
    return ::stat(detail::joinHostPath(location->root, location->names).c_str(), &info) == 0;
}

FileHandle failOpen(const struct stat& info) {
    if (info.st_mode != 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        detail::setLastErrorText(NotAFileText, FileError::NotAFile);
    } else {
        detail::failWithErrno();
    }
    return InvalidFile;
}

FileHandle openLocked(const ResolvedPath& path, int flags, int64_t* length) {
    const auto& host = path.hostPath();
    if (!host) {
        detail::setLastErrorText(detail::NoDriveText);
        return InvalidFile;
    }
    struct stat info;
    int fd = detail::openLockedHost(*host, flags, info);
    if (fd < 0) {
        return failOpen(info);
    }
    if (length != nullptr) {
        *length = info.st_size;
    }
    return fd;
}

template <class Transfer> int64_t transferFully(Transfer transfer, int64_t count, int& error) {
    error = 0;
    if (count < 0) {
        error = EINVAL;
        return -1;
    }
    int64_t done = 0;
    while (done < count) {
        auto chunk = static_cast<size_t>(std::min<int64_t>(count - done, int64_t{1} << 30));
        ssize_t moved = transfer(done, chunk);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved < 0) {
            error = errno;
            return done > 0 ? done : -1;
        }
        if (moved == 0) {
            break;
        }
        done += moved;
    }
    return done;
}

// The result of a call that answers -1 and sets errno on failure.
bool succeeded(int result) {
    if (result != 0) {
        detail::setLastError(errno);
    }
    return result == 0;
}

} // namespace

void detail::UniqueFd::reset(int fd) {
    if (m_fd >= 0) {
        int saved = errno;
        ::close(m_fd);
        errno = saved;
    }
    m_fd = fd;
}

int detail::openLockedHost(const std::string& hostPath, int flags, struct stat& info) {
    info.st_mode = 0;
    UniqueFd fd(::open(hostPath.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    if (!fd) {
        return -1;
    }
    if (::fstat(fd.get(), &info) != 0) {
        info.st_mode = 0;
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; on a regular file it changes
    // nothing, so only an open that asked for O_APPEND sets its flags again. F_SETFL sets only
    // the status flags, so they need no F_GETFL first.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 ||
        ((flags & O_APPEND) != 0 && ::fcntl(fd.get(), F_SETFL, flags & O_APPEND) != 0)) {
        return -1;
    }
    return fd.release();
}

bool detail::failWithErrno() {
    if (errno == EWOULDBLOCK) {
        setLastErrorText(SharingViolationText, FileError::InUse);
    } else {
        setLastError(errno);
    }
    return false;
}

int64_t detail::readFully(int fd, void* buffer, int64_t count, int& error) {
    auto* bytes = static_cast<char*>(buffer);
    return transferFully([&](int64_t done, size_t chunk) { return ::read(fd, bytes + done, chunk); }, count,
                         error);
}

int64_t detail::writeFully(int fd, const void* buffer, int64_t count, int& error) {
    const auto* bytes = static_cast<const char*>(buffer);
    int64_t done = transferFully([&](int64_t done, size_t chunk) { return ::write(fd, bytes + done, chunk); },
                                 count, error);
    // Permission to write was granted at the open; a write refused with EPERM is a FAT driver's
    // way (fusefat's) of saying that the volume is full.
    if (error == EPERM) {
        error = ENOSPC;
    }
    return done;
}

bool fileExists(std::string_view path) {
    struct stat info;
    return statProgramPath(path, info) && S_ISREG(info.st_mode);
}

bool fileLengthAndTime(std::string_view path, int64_t& length, int64_t& modifiedTime) {
    // The lookup gives the file's kind only; its length and time take a stat of their own.
    const auto location = detail::locateProgramPath(path);
    struct stat info {};
    if (!location || location->missing ||
        ::stat(detail::joinHostPath(location->root, location->names).c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        return false;
    }
    length = info.st_size;
    modifiedTime = int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
    return true;
}

bool folderExists(std::string_view path) {
    struct stat info;
    return statProgramPath(path, info) && S_ISDIR(info.st_mode);
}

bool folderTakesNewEntries(std::string_view path) {
    const ResolvedPath folder(path);
    const auto& host = folder.hostPath();
    if (!host) {
        detail::setLastErrorText(detail::NoDriveText, FileError::NotFound);
        return false;
    }
    return ::access(host->c_str(), W_OK | X_OK) == 0 || detail::failWithErrno();
}

bool nonFileExists(std::string_view path) {
    struct stat info;
    return statProgramPath(path, info) && !S_ISREG(info.st_mode);
}

ResolvedPath::ResolvedPath(std::string_view programPath) : m_programPath(programPath) {
    auto location = detail::locateProgramPath(programPath);
    if (location) {
        m_hostPath = detail::joinHostPath(location->root, location->names);
        m_mode = location->mode;
        m_missing = location->missing;
    }
}

bool ResolvedPath::isFile() const {
    if (!m_hostPath || m_missing) {
        return false;
    }
    struct stat info;
    if (m_mode != 0 && !S_ISLNK(m_mode)) {
        return S_ISREG(m_mode);
    }
    return ::stat(m_hostPath->c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileHandle openFileExclusive(const ResolvedPath& path, int64_t* length) {
    return openLocked(path, O_RDONLY, length);
}

FileHandle createFileExclusive(std::string_view path) {
    return openLocked(path, O_RDWR | O_CREAT, nullptr);
}

int64_t exclusiveFileLength(std::string_view path) {
    auto written = detail::locateProgramPath(path, false);
    if (!written) {
        return -1;
    }
    struct stat info;
    detail::UniqueFd fd(
        detail::openLockedHost(detail::joinHostPath(written->root, written->names), O_RDONLY, info));
    if (!fd && (errno == ENOENT || errno == ENOTDIR)) {
        int64_t length = -1;
        detail::UniqueFd respelt(openFileExclusive(ResolvedPath(path), &length));
        return respelt ? length : -1;
    }
    if (!fd) {
        failOpen(info);
        return -1;
    }
    return info.st_size;
}

int64_t fileLength(FileHandle file) {
    struct stat info;
    if (::fstat(file, &info) != 0) {
        detail::setLastError(errno);
        return -1;
    }
    return info.st_size;
}

int64_t fileModifiedTime(FileHandle file) {
    struct stat info;
    if (::fstat(file, &info) != 0) {
        detail::setLastError(errno);
        return -1;
    }
    return int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
}

int64_t filePosition(FileHandle file) {
    off_t position = ::lseek(file, 0, SEEK_CUR);
    if (position < 0) {
        detail::setLastError(errno);
    }
    return position;
}

int64_t seekFile(FileHandle file, int64_t offset) {
    off_t position = ::lseek(file, offset, SEEK_SET);
    if (position < 0) {
        detail::setLastError(errno);
    }
    return position;
}

bool truncateFile(FileHandle file, int64_t length) {
    return succeeded(::ftruncate(file, length));
}

bool reserveFileSpace(FileHandle file, int64_t length) {
    if (length <= 0 || ::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, length) == 0) {
        return true;
    }
    if (errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL) {
        return true;
    }
    detail::setLastError(errno);
    return false;
}

void adviseSequentialRead(FileHandle file) {
    ::posix_fadvise(file, 0, 0, POSIX_FADV_SEQUENTIAL);
}

int64_t readFile(FileHandle file, void* buffer, int64_t count) {
    int error = 0;
    int64_t done = detail::readFully(file, buffer, count, error);
    if (error != 0) {
        detail::setLastError(error);
    }
    return done;
}

int64_t writeFile(FileHandle file, const void* buffer, int64_t count) {
    int error = 0;
    int64_t done = detail::writeFully(file, buffer, count, error);
    if (error != 0) {
        detail::setLastError(error);
    } else if (done < count) {
        detail::setLastError(ENOSPC);
    }
    return done;
}

bool closeFile(FileHandle file) {
    return succeeded(::close(file));
}

bool deleteFile(std::string_view path) {
    auto host = toHostPath(path);
    if (!host) {
        return false;
    }
    auto [folder, name] = detail::splitHostFolder(*host);
    detail::OwnFolderChange change(folder);
    if (!succeeded(::unlink(host->c_str()))) {
        return false;
    }
    change.done({}, name);
    return true;
}

bool forceFolders(std::string_view path) {
    std::string_view text = path;
    while (!text.empty() && (text.back() == '\\' || text.back() == '/')) {
        text.remove_suffix(1);
    }
    auto location = text.size() < 3 ? std::nullopt : detail::locateProgramPath(text);
    if (!location) {
        return folderExists(path);
    }
    std::string folder = location->root;
    for (const auto& name : location->names) {
        detail::OwnFolderChange change(folder);
        folder = detail::joinHostPath(folder, name);
        if (::mkdir(folder.c_str(), 0777) == 0) {
            change.done(name, {}, true);
            continue;
        }
        int error = errno;
        if (error == EEXIST) {
            change.nothingChanged();
        }
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            detail::setLastError(error == EEXIST ? ENOTDIR : error);
            return false;
        }
    }
    return folderExists(path);
}

} // namespace platform
