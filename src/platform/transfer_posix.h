// Host-side pieces shared by the transfer services of this folder (transfer.h). Not a module
// boundary: host paths, raw descriptors and errno.
#pragma once

#include "platform/posix_io.h"
#include "platform/transfer.h"

#include <compare>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>

namespace platform::detail {

// Moves `from` to `to` unless something stands at `to`: renameat2 with RENAME_NOREPLACE, and
// renameNoReplaceFallback where the file system does not offer the flag. false with errno
// (EEXIST when `to` exists, also as another name of the same file).
bool renameNoReplace(const std::string& from, const std::string& to);
// Without the flag: link() then unlink() for files; where the file system has no hard links
// (FAT, exFAT) or for a folder, a look at `to` before a plain rename, which leaves a short race.
bool renameNoReplaceFallback(const std::string& from, const std::string& to);

// Moves `from` to `to` within one volume only once the volume has accepted the name `to`: an
// empty placeholder (a folder for `isFolder`) is created there exclusively, then `from` is
// renamed over it. A refused name, or one taken (errno EEXIST), fails with `from` untouched and
// no placeholder left. false with errno (EXDEV across volumes).
bool renameOntoAcceptedName(const std::string& from, const std::string& to, bool isFolder);

// The volumes (st_dev) of a copy's source and destination.
struct VolumePair {
    uint64_t source = 0;
    uint64_t dest = 0;
    auto operator<=>(const VolumePair&) const = default;
};

// The pairs of volumes whose file systems refused one way of copying between them (a reflink,
// the kernel's copy): the files that follow between them skip that way, one call fewer each.
// Safe on any thread.
class RefusingVolumes {
public:
    bool known(const std::optional<VolumePair>& volumes);
    void add(const std::optional<VolumePair>& volumes);
    // Some pair into the volume `dest` is known: only then is the source's volume worth asking.
    bool anyInto(uint64_t dest);

private:
    std::mutex m_mutex;
    std::set<VolumePair> m_pairs;
};
RefusingVolumes& reflinkRefusals();
RefusingVolumes& kernelCopyRefusals();

// How copyChunk moves data between two files, kept from chunk to chunk of one file.
struct CopyRoute {
    bool kernel = true;       // copy_file_range; false: read and write
    bool refused = false;     // the kernel or the file systems refused these two files
    bool writeFailed = false; // the failure copyChunk answered came from the destination
};

// Copies `want` bytes from the current position of `from` to that of `to`, fewer only when the
// source's data ends first (`ended` is then set); -1 with errno on failure. The kernel's route
// is left for read and write, with `route.refused` set, when it refuses these two files before
// the first byte (`nothingCopied`: no chunk before this one moved any), and when it answers
// "end" before the first byte and a read then finds data (some file systems answer 0 where they
// cannot copy; an empty source answers 0 either way). An end after data is the source's end. A
// failure of the kernel's route is tried again by read and write, which tells the side that
// failed (`route.writeFailed`).
int64_t copyChunk(int from, int to, int64_t want, CopyRoute& route, bool nothingCopied, bool& ended);

// Copies the data of `from` (positioned at its start) to `to` (empty, at its start), to the end
// of the data whatever length the source reports; `total` is the source's length when opened.
// See systemCopy for progress, cancel (errno ECANCELED), a source that shrinks (errno ENODATA)
// or grows. `progress` and `cancelCell` may be null.
// `volumes`, when known, are the volumes (st_dev) of the two files: a pair whose file systems
// refused a reflink or the kernel's copy is not asked again. Sets `copied` (may be null) to the
// bytes copied.
bool copyFileData(int from, int to, int64_t total, const CopyProgressRoutine* progress,
                  const volatile int32_t* cancelCell, std::optional<VolumePair> volumes = std::nullopt,
                  int64_t* copied = nullptr);

// Opens `partial` for the host path `hostDest`, the program path `programDest` (see
// PartialFile::open). `destMissing`: the caller has just seen that nothing stands at `hostDest`,
// so there is no existing destination to hold.
struct PartialFileAccess {
    static bool open(PartialFile& partial, const std::string& hostDest, std::string programDest, int sourceFd,
                     bool destMissing = false);
    // The volume (st_dev) that the temporary file was made on.
    static uint64_t volume(const PartialFile& partial) { return partial.m_volume; }
};

// rename(2), or renameNoReplace with `noReplace`, and unlink(2), keeping the name indexes of the
// folders involved current (name_index.h); false with errno.
bool renameKeepingIndex(const std::string& from, const std::string& to, bool noReplace,
                        bool isFolder = false);
bool removeKeepingIndex(const std::string& path);

// Calls `put` with `hostDest` until it succeeds or fails with another errno than EEXIST; on
// EEXIST asks `onTaken` for the next program path (see TakenNameRoutine) and updates both
// paths to it. false with errno (EEXIST when the routine gave up or is empty).
bool putUnderFreeName(std::string& programDest, std::string& hostDest, const TakenNameRoutine& onTaken,
                      const std::function<bool(const std::string& hostDest)>& put);

// Gives `to` the modification time of `from`, or the one in `seen` (what an fstat of `from`
// found) without asking again; false with errno.
bool copyModificationTime(int from, int to, const struct stat* seen = nullptr);

// For a program path that names no mapped drive.
bool failNoDrive();

} // namespace platform::detail
