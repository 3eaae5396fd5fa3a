// The system move on a POSIX host: a rename that never replaces, and across volumes a copy that
// stands complete at the destination before the source goes.
#include "platform/drives.h"
#include "platform/transfer_posix.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace detail {
namespace {

// Copies a file to a volume it is not on, then removes the source. `in` is the source, opened
// and locked where that could be done already.
bool moveAcrossVolumes(const std::string& hostSource, const std::string& hostDest, UniqueFd& in) {
    struct stat info;
    if (!in) {
        in.reset(openLockedHost(hostSource, O_RDONLY, info));
    }
    if (!in || ::fstat(in.get(), &info) != 0) {
        return false;
    }
    // Refused before a byte is copied; the commit below refuses again if one appears meanwhile.
    struct stat existing;
    if (::lstat(hostDest.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    if (errno != ENOENT) {
        return false;
    }
    PartialFile out;
    if (!PartialFileAccess::open(out, hostDest, in.get()) ||
        !copyFileData(in.get(), out.handle(), info.st_size, nullptr, nullptr)) {
        out.discard();
        return false;
    }
    // A moved file keeps its permissions and time where the destination's file system keeps them.
    ::fchmod(out.handle(), info.st_mode & 0777);
    copyModificationTime(in.get(), out.handle());
    if (!out.commit(ExistingFile::Keep)) {
        return false;
    }
    if (::unlink(hostSource.c_str()) != 0) {
        // A source that cannot go (a read-only medium) means the move did not happen.
        int error = errno;
        ::unlink(hostDest.c_str());
        errno = error;
        return false;
    }
    return true;
}

} // namespace

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    return renameNoReplaceFallback(from, to);
}

bool renameNoReplaceFallback(const std::string& from, const std::string& to) {
    struct stat info;
    if (::lstat(from.c_str(), &info) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        // link() refuses an existing name, even one of the same file, which rename() would
        // "replace" by doing nothing at all.
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0) {
                return true;
            }
            int error = errno;
            ::unlink(to.c_str());
            errno = error;
            return false;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
            return false;
        }
    }
    if (::lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace detail

bool systemMove(std::string_view source, std::string_view dest) {
    auto hostSource = toHostPath(source);
    auto hostDest = toHostPath(dest);
    if (!hostSource || !hostDest) {
        return detail::failNoDrive();
    }
    struct stat info;
    if (::lstat(hostSource->c_str(), &info) != 0) {
        return detail::failWithErrno();
    }
    // A file that another open holds with all sharing denied does not move; one this process may
    // not read can still be renamed.
    detail::UniqueFd held;
    if (S_ISREG(info.st_mode)) {
        struct stat opened;
        held.reset(detail::openLockedHost(*hostSource, O_RDONLY, opened));
        if (!held && errno == EWOULDBLOCK) {
            return detail::failWithErrno();
        }
    }
    if (detail::renameNoReplace(*hostSource, *hostDest)) {
        return true;
    }
    if (errno != EXDEV || !S_ISREG(info.st_mode)) {
        return detail::failWithErrno();
    }
    return detail::moveAcrossVolumes(*hostSource, *hostDest, held) || detail::failWithErrno();
}

} // namespace platform
