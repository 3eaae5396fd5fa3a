// The read-back check on a POSIX host.
#include "platform/read_back.h"

#include "platform/drives.h"
#include "platform/last_error.h"
#include "platform/posix_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr int64_t ChunkSize = 1 << 20;

// A read-only descriptor of a program path; -1 with the last error set.
int openForReading(std::string_view programPath) {
    std::optional<std::string> host = toHostPath(programPath);
    if (!host) {
        detail::setLastErrorText(detail::NoDriveText, FileError::NotFound);
        return -1;
    }
    int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        detail::setLastError(errno);
    }
    return fd;
}

ReadBackResult compareData(int source, int copy) {
    std::vector<char> sourceChunk(ChunkSize);
    std::vector<char> copyChunk(ChunkSize);
    for (;;) {
        int error = 0;
        int64_t fromSource = detail::readFully(source, sourceChunk.data(), ChunkSize, error);
        if (error != 0) {
            detail::setLastError(error);
            return ReadBackResult::Failed;
        }
        int64_t fromCopy = detail::readFully(copy, copyChunk.data(), ChunkSize, error);
        if (error != 0) {
            detail::setLastError(error);
            return ReadBackResult::Failed;
        }
        if (fromSource != fromCopy ||
            std::memcmp(sourceChunk.data(), copyChunk.data(), static_cast<size_t>(fromCopy)) != 0) {
            return ReadBackResult::Differs;
        }
        if (fromCopy < ChunkSize) {
            return ReadBackResult::Same;
        }
    }
}

} // namespace

ReadBackResult readBackAndCompare(std::string_view source, std::string_view copy) {
    detail::UniqueFd copyFd(openForReading(copy));
    if (!copyFd) {
        return ReadBackResult::Failed;
    }
    // Clean pages only can be dropped: the data goes to the device first.
    if (::fdatasync(copyFd.get()) != 0) {
        detail::setLastError(errno);
        return ReadBackResult::Failed;
    }
    ::posix_fadvise(copyFd.get(), 0, 0, POSIX_FADV_DONTNEED);
    detail::UniqueFd sourceFd(openForReading(source));
    if (!sourceFd) {
        return ReadBackResult::Failed;
    }
    return compareData(sourceFd.get(), copyFd.get());
}

} // namespace platform
