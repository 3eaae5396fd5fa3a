#include "convert/written_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace convert::detail {

std::optional<std::string> flushWrittenFile(const std::string& hostPath) {
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::string("The converted file could not be opened to flush it: ") + std::strerror(errno);
    }
    int result = 0;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    const int flushError = result != 0 ? errno : 0;
    // Write-back errors can surface at close as well.
    if (::close(fd) != 0 && flushError == 0 && errno != EINTR) {
        return std::string("The converted file could not be flushed: ") + std::strerror(errno);
    }
    if (flushError != 0) {
        return std::string("The converted file could not be flushed: ") + std::strerror(flushError);
    }
    return std::nullopt;
}

void removeWrittenFile(const std::string& hostPath) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(hostPath, error);
    if (!error && (std::filesystem::is_regular_file(status) || std::filesystem::is_symlink(status))) {
        std::filesystem::remove(hostPath, error);
    }
}

} // namespace convert::detail
