// The system move on a POSIX host: a rename that never replaces, and across volumes a copy that
// stands complete at the destination before the source goes.
#include "platform/drives.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/transfer_posix.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace platform {
namespace detail {
namespace {

bool sameFileUnchanged(const struct stat& now, const struct stat& copied) {
    return S_ISREG(now.st_mode) && now.st_dev == copied.st_dev && now.st_ino == copied.st_ino &&
           now.st_size == copied.st_size && now.st_mtim.tv_sec == copied.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == copied.st_mtim.tv_nsec;
}

// Writes the folder entry of a file just put in place to the device, so that the name stands
// there before the source's name goes. Best effort: some file systems refuse fsync on a folder.
void flushFolderOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    const std::string folder = slash == std::string::npos || slash == 0 ? "/" : hostPath.substr(0, slash);
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        ::fsync(dir.get());
    }
}

// Copies a file to a volume it is not on, then removes the source. `in` is the source, opened
// and locked where that could be done already.
MoveResult moveAcrossVolumes(const std::string& hostSource, std::string& programDest, std::string& hostDest,
                             UniqueFd& in, const TakenNameRoutine& onTaken, const MovedCopyCheck& check) {
    struct stat info;
    if (!in) {
        in.reset(openLockedHost(hostSource, O_RDONLY, info));
    }
    // What the source is before its first byte is read: the name must still mean this at the end.
    if (!in || ::fstat(in.get(), &info) != 0) {
        return MoveResult::CopyFailed;
    }
    // Refused before a byte is copied; the commit below refuses again if one appears meanwhile.
    bool nameFree = putUnderFreeName(programDest, hostDest, onTaken, [](const std::string& dest) {
        struct stat existing;
        if (::lstat(dest.c_str(), &existing) == 0) {
            errno = EEXIST;
            return false;
        }
        return errno == ENOENT;
    });
    if (!nameFree) {
        return MoveResult::Failed;
    }
    PartialFile out;
    if (!PartialFileAccess::open(out, hostDest, programDest, in.get()) ||
        !copyFileData(in.get(), out.handle(), info.st_size, nullptr, nullptr)) {
        out.discard();
        return MoveResult::CopyFailed;
    }
    // A moved file keeps its permissions and time where the destination's file system keeps them.
    ::fchmod(out.handle(), info.st_mode & 0777);
    copyModificationTime(in.get(), out.handle());
    // The source goes below, so its copy must be on the device first, not only in the cache: a
    // stick pulled out or a failed write-back would otherwise take the only copy with it.
    if (!flushData(out.handle())) {
        out.discard();
        return MoveResult::CopyFailed;
    }
    // The name the copy ends up under, for the check: one taken meanwhile gives another.
    TakenNameRoutine followed = [&](const std::string& taken) {
        std::optional<std::string> next = onTaken ? onTaken(taken) : std::nullopt;
        if (next) {
            programDest = *next;
        }
        return next;
    };
    // A copy that the check refuses never takes the name; the source stays untouched.
    if (!out.commit(ExistingFile::Keep, followed, check)) {
        return MoveResult::CopyFailed;
    }
    // From here the copy stands complete and stays whatever happens to the source. Another
    // program may have saved a new version over the source (written a new file and renamed it
    // over the name) or removed it while it was copied: that name is no longer ours to remove.
    flushFolderOf(hostDest);
    struct stat now;
    if (::lstat(hostSource.c_str(), &now) != 0 || !sameFileUnchanged(now, info)) {
        setLastErrorText("The file was replaced, changed or removed while it was moved",
                         FileError::SourceChanged);
        return MoveResult::CopiedOnly;
    }
    if (!removeKeepingIndex(hostSource)) {
        setLastError(errno);
        return MoveResult::CopiedOnly;
    }
    return MoveResult::Moved;
}

// Puts an empty placeholder at `to` (a file, or a folder for a folder move) that only this call
// can have made: a name the volume's driver refuses then fails here, where nothing has been
// handed over yet. false with errno (EEXIST when the name is taken); `made` is the placeholder's
// identity.
bool makePlaceholder(const std::string& to, bool isFolder, struct stat& made) {
    auto [folder, name] = splitHostFolder(to);
    OwnFolderChange change(folder);
    if (isFolder) {
        if (::mkdir(to.c_str(), 0700) != 0 || ::lstat(to.c_str(), &made) != 0) {
            return false;
        }
    } else {
        UniqueFd fd(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
        if (!fd || ::fstat(fd.get(), &made) != 0) {
            return false;
        }
    }
    change.done(name, {}, isFolder);
    return true;
}

void removePlaceholder(const std::string& to, bool isFolder, const struct stat& made) {
    struct stat now;
    if (::lstat(to.c_str(), &now) != 0 || now.st_dev != made.st_dev || now.st_ino != made.st_ino) {
        return; // no longer ours
    }
    if (isFolder) {
        auto [folder, name] = splitHostFolder(to);
        OwnFolderChange change(folder);
        if (::rmdir(to.c_str()) == 0) {
            change.done({}, name);
        }
    } else {
        removeKeepingIndex(to);
    }
}

} // namespace

bool renameOntoAcceptedName(const std::string& from, const std::string& to, bool isFolder) {
    struct stat made;
    if (!makePlaceholder(to, isFolder, made)) {
        return false;
    }
    // Drivers that refuse a folder renamed over an empty one (fusefat) have at least accepted
    // the name now: the placeholder goes and the folder takes the name if it is still free.
    if (isFolder) {
        removePlaceholder(to, isFolder, made);
        return renameKeepingIndex(from, to, true, isFolder);
    }
    // Only the placeholder may be replaced: a file another program put there meanwhile is not.
    struct stat now;
    bool stillOurs = ::lstat(to.c_str(), &now) == 0 && now.st_dev == made.st_dev && now.st_ino == made.st_ino;
    if (stillOurs && renameKeepingIndex(from, to, false, isFolder)) {
        return true;
    }
    int error = stillOurs ? errno : EEXIST;
    removePlaceholder(to, isFolder, made);
    errno = error;
    return false;
}

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

namespace {

MoveResult moveAcrossVolumesReporting(const std::string& hostSource, std::string& programDest,
                                      std::string& hostDest, detail::UniqueFd& held,
                                      const TakenNameRoutine& onTaken, const MovedCopyCheck& check) {
    MoveResult result = detail::moveAcrossVolumes(hostSource, programDest, hostDest, held, onTaken, check);
    if (result == MoveResult::Failed || result == MoveResult::CopyFailed) {
        detail::failWithErrno();
    }
    return result;
}

} // namespace

MoveResult systemMove(const ResolvedPath& source, const ResolvedPath& dest, const TakenNameRoutine& onTaken,
                      const MovedCopyCheck& check) {
    const auto& hostSource = source.hostPath();
    auto hostDest = dest.hostPath();
    if (!hostSource || !hostDest) {
        detail::failNoDrive();
        return MoveResult::Failed;
    }
    struct stat info;
    if (::lstat(hostSource->c_str(), &info) != 0) {
        detail::failWithErrno();
        return MoveResult::Failed;
    }
    // A file that another open holds with all sharing denied does not move; one this process may
    // not read can still be renamed.
    detail::UniqueFd held;
    if (S_ISREG(info.st_mode)) {
        struct stat opened;
        held.reset(detail::openLockedHost(*hostSource, O_RDONLY, opened));
        if (!held && errno == EWOULDBLOCK) {
            detail::failWithErrno();
            return MoveResult::Failed;
        }
    }
    std::string programDest = dest.programPath();
    // Across volumes the file is copied: no placeholder is made on the other volume for a rename
    // that cannot happen. (Two mounts of one file system share a device and answer EXDEV below.)
    struct stat destFolder;
    const bool otherVolume = ::stat(detail::splitHostFolder(*hostDest).first.c_str(), &destFolder) == 0 &&
                             destFolder.st_dev != info.st_dev;
    if (otherVolume && S_ISREG(info.st_mode)) {
        return moveAcrossVolumesReporting(*hostSource, programDest, *hostDest, held, onTaken, check);
    }
    // Some drivers (fusefat among them) drop the source of a rename onto a name they refuse, so
    // the name is created first and the source renamed over that placeholder.
    if (detail::putUnderFreeName(programDest, *hostDest, onTaken, [&](const std::string& to) {
            return detail::renameOntoAcceptedName(*hostSource, to, S_ISDIR(info.st_mode));
        })) {
        return MoveResult::Moved;
    }
    if (errno != EXDEV || !S_ISREG(info.st_mode)) {
        detail::failWithErrno();
        return MoveResult::Failed;
    }
    return moveAcrossVolumesReporting(*hostSource, programDest, *hostDest, held, onTaken, check);
}

} // namespace platform
