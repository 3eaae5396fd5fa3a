// The flushes on a POSIX host: syncfs on a descriptor of the folder, fdatasync on the file.
#include "platform/volume_flush.h"

#include "platform/drives.h"
#include "platform/last_error.h"
#include "platform/posix_io.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<uint64_t> flushRequests{0};

// Opens `programPath` read-only (a folder or a file) and runs `flush` on it; errno of the first
// failing step.
template <typename Flush> bool flushOpened(std::string_view programPath, int extraFlags, Flush flush) {
    ++flushRequests;
    std::optional<std::string> host = toHostPath(programPath);
    if (!host) {
        detail::setLastErrorText(detail::NoDriveText, FileError::NotFound);
        return false;
    }
    detail::UniqueFd fd(::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | extraFlags));
    if (!fd) {
        detail::setLastError(errno);
        return false;
    }
    int answer;
    do {
        answer = flush(fd.get());
    } while (answer != 0 && errno == EINTR);
    if (answer != 0) {
        detail::setLastError(errno);
        return false;
    }
    return true;
}

} // namespace

bool flushVolume(std::string_view programFolder) {
    return flushOpened(programFolder, O_DIRECTORY, [](int fd) { return ::syncfs(fd); });
}

bool flushFile(std::string_view programPath) {
    return flushOpened(programPath, O_NONBLOCK, [](int fd) { return ::fdatasync(fd); });
}

namespace detail {

bool flushData(int fd) {
    ++flushRequests;
    int answer;
    do {
        answer = ::fdatasync(fd);
    } while (answer != 0 && errno == EINTR);
    return answer == 0;
}

} // namespace detail

uint64_t flushRequestCount() {
    return flushRequests.load();
}

} // namespace platform
