// Free space on a POSIX host: statvfs of the nearest existing folder, since one drive letter
// may span several volumes (a stick mounted under /media on drive Z:).
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/path_text.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace platform {
namespace {

bool isHostFolder(const std::string& hostPath) {
    struct stat info;
    return ::stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

int64_t freeSpace(char drive, std::string_view path) {
    auto root = driveHostFolder(drive);
    if (!root) {
        detail::setLastErrorText(detail::NoDriveText);
        return -1;
    }
    std::vector<std::string> names;
    auto location = detail::locateProgramPath(path);
    char letter = drive >= 'a' && drive <= 'z' ? static_cast<char>(drive - 'a' + 'A') : drive;
    if (location && location->drive == letter) {
        names = std::move(location->names);
    }
    std::string folder = detail::joinHostPath(*root, names);
    while (!names.empty() && !isHostFolder(folder)) {
        names.pop_back();
        folder = detail::joinHostPath(*root, names);
    }
    struct statvfs volume;
    if (::statvfs(folder.c_str(), &volume) != 0) {
        detail::setLastError(errno);
        return -1;
    }
    // A driver that reports no size at all (FUSE drivers such as fusefat give 0 blocks) tells
    // nothing of the room left. Its 0 free blocks taken at their word would refuse every run
    // onto it; it counts as unbounded instead, and the writes find out: a file that does not fit
    // fails before its first byte, and nothing is lost.
    if (volume.f_blocks == 0) {
        return std::numeric_limits<int64_t>::max();
    }
    constexpr auto most = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t blockSize = volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize;
    uint64_t blocks = volume.f_bavail;
    return blockSize != 0 && blocks > most / blockSize ? std::numeric_limits<int64_t>::max()
                                                       : static_cast<int64_t>(blocks * blockSize);
}

} // namespace platform
