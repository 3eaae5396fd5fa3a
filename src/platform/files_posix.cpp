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

bool statProgramPath(std::string_view path, struct stat& info) {
    auto host = toHostPath(path);
    return host && ::stat(host->c_str(), &info) == 0;
}

// Refuses what is not a regular file and takes the exclusive lock; on failure the
// descriptor is closed.
bool checkAndLock(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        detail::setLastError(errno);
    } else if (S_ISDIR(info.st_mode)) {
        detail::setLastError(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        detail::setLastErrorText(NotAFileText);
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            detail::setLastErrorText(SharingViolationText);
        } else {
            detail::setLastError(errno);
        }
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        detail::setLastError(errno);
    } else {
        return true;
    }
    ::close(fd);
    return false;
}

// O_NONBLOCK only for the open itself: a pipe or device must not hold the open up; the
// regular-file check then refuses it.
FileHandle openLocked(std::string_view path, int flags) {
    auto host = toHostPath(path);
    if (!host) {
        return InvalidFile;
    }
    int fd = ::open(host->c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        detail::setLastError(errno);
        return InvalidFile;
    }
    return checkAndLock(fd) ? fd : InvalidFile;
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

int64_t detail::readFully(int fd, void* buffer, int64_t count, int& error) {
    auto* bytes = static_cast<char*>(buffer);
    return transferFully([&](int64_t done, size_t chunk) { return ::read(fd, bytes + done, chunk); }, count,
                         error);
}

int64_t detail::writeFully(int fd, const void* buffer, int64_t count, int& error) {
    const auto* bytes = static_cast<const char*>(buffer);
    return transferFully([&](int64_t done, size_t chunk) { return ::write(fd, bytes + done, chunk); }, count,
                         error);
}

bool fileExists(std::string_view path) {
    struct stat info;
    return statProgramPath(path, info) && S_ISREG(info.st_mode);
}

bool folderExists(std::string_view path) {
    struct stat info;
    return statProgramPath(path, info) && S_ISDIR(info.st_mode);
}

FileHandle openFileExclusive(std::string_view path) {
    return openLocked(path, O_RDONLY);
}

FileHandle createFileExclusive(std::string_view path) {
    return openLocked(path, O_RDWR | O_CREAT);
}

int64_t fileLength(FileHandle file) {
    struct stat info;
    if (::fstat(file, &info) != 0) {
        detail::setLastError(errno);
        return -1;
    }
    return info.st_size;
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
    return host && succeeded(::unlink(host->c_str()));
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
        folder = detail::joinHostPath(folder, name);
        if (::mkdir(folder.c_str(), 0777) == 0) {
            continue;
        }
        int error = errno;
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            detail::setLastError(error == EEXIST ? ENOTDIR : error);
            return false;
        }
    }
    return folderExists(path);
}

} // namespace platform
