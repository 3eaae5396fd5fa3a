// Whole-file reading and atomic replacement on a POSIX host.
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/path_text.h"
#include "platform/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Fills the temporary file and flushes it; 0 or the errno of the failure.
int fillTempFile(int fd, std::string_view content, const struct stat* oldFile) {
    int error = 0;
    auto size = static_cast<int64_t>(content.size());
    if (detail::writeFully(fd, content.data(), size, error) != size) {
        return error != 0 ? error : ENOSPC;
    }
    if (oldFile != nullptr && ::fchmod(fd, oldFile->st_mode & 07777) != 0) {
        return errno;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Makes the rename itself durable; a file system that cannot flush a folder still has the
// new file in place, so a failure here is not the write's failure.
void flushFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool readWholeFile(std::string_view path, std::string& content, int64_t maxBytes) {
    content.clear();
    FileHandle file = openFileExclusive(path);
    if (file == InvalidFile) {
        return false;
    }
    int64_t length = fileLength(file);
    int error = length > maxBytes || maxBytes < 0 ? EFBIG : 0;
    std::string data;
    if (error == 0) {
        // Room for one byte past the length tells a file that grew since it was measured.
        data.resize(static_cast<size_t>(std::max<int64_t>(length, 0)) + 1);
        size_t got = 0;
        for (;;) {
            int64_t more =
                detail::readFully(file, data.data() + got, static_cast<int64_t>(data.size() - got), error);
            got += static_cast<size_t>(std::max<int64_t>(more, 0));
            if (error != 0 || got < data.size()) {
                break; // the end of the file, or a failure
            }
            if (static_cast<int64_t>(got) > maxBytes) {
                error = EFBIG;
                break;
            }
            int64_t cap = maxBytes < std::numeric_limits<int64_t>::max() ? maxBytes + 1 : maxBytes;
            data.resize(static_cast<size_t>(std::min<int64_t>(cap, static_cast<int64_t>(got) * 2)));
        }
        data.resize(got);
    }
    closeFile(file);
    if (error != 0) {
        detail::setLastError(error);
        return false;
    }
    content = std::move(data);
    return true;
}

bool writeFileAtomically(std::string_view path, std::string_view content) {
    auto location = detail::locateProgramPath(path);
    if (!location) {
        return false;
    }
    if (location->names.empty()) {
        detail::setLastError(EISDIR);
        return false;
    }
    std::string name = location->names.back();
    location->names.pop_back();
    std::string folder = detail::joinHostPath(location->root, location->names);
    std::string target = detail::joinHostPath(folder, name);

    struct stat oldFile;
    bool hasOld = ::stat(target.c_str(), &oldFile) == 0 && S_ISREG(oldFile.st_mode);
    std::string tempPath;
    int fd = detail::createTempBeside(folder, name, tempPath);
    if (fd < 0) {
        detail::setLastError(errno);
        return false;
    }
    int error = fillTempFile(fd, content, hasOld ? &oldFile : nullptr);
    detail::UniqueFd lock; // keeps the temporary file locked until it stands at its name
    if (!detail::closeKeepingLock(fd, lock) && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(tempPath.c_str());
        detail::setLastError(error);
        return false;
    }
    flushFolder(folder);
    return true;
}

} // namespace platform
