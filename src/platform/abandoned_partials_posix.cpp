// Clearing out the partial files that a killed transfer left: each transfer holds its partial
// file locked while it writes, so one that nobody holds belongs to no transfer any more.
#include "platform/drives.h"
#include "platform/host_location.h"
#include "platform/posix_io.h"
#include "platform/transfer.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Removes the partial file `name` of the folder `dir` unless a process holds it. The lock is
// held while the name goes, so a writer that opened the file just now cannot lock it after us
// and write into a file without a name (createTempBeside looks for that).
bool removeIfAbandoned(int dir, const char* name) {
    detail::UniqueFd fd(::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat opened, named;
    if (!fd || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    // The name must still be the file that is locked, not a new one that took it meanwhile.
    if (::fstatat(dir, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino) {
        return false;
    }
    return ::unlinkat(dir, name, 0) == 0;
}

} // namespace

int removeAbandonedPartialFiles(std::string_view folder) {
    auto hostFolder = toHostPath(folder);
    if (!hostFolder) {
        return 0;
    }
    int dirFd = ::open(hostFolder->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return 0;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(dirFd), ::closedir);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    detail::countFolderListing();
    int removed = 0;
    while (const struct dirent* entry = ::readdir(dir.get())) {
        if (detail::isPartialFileName(entry->d_name) && removeIfAbandoned(dirfd(dir.get()), entry->d_name)) {
            ++removed;
        }
    }
    return removed;
}

} // namespace platform
