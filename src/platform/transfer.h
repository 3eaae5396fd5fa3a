// Whole-file transfers over the program's namespace (drives.h): the system copy and move that
// the copy run offers as transfer modes, and the pieces the program's own copy writes with.
// Paths are program paths. Calls answer false on failure and leave lastErrorText() (files.h)
// describing it.
//
// A file being written never stands at its final name until it is complete: it is written under
// a temporary name in the destination's folder (".<name>.tw-partial-XXXXXX", hidden, so folder
// sources pass over one that a killed process left behind) and renamed into place at the end.
// A failed, cancelled or refused transfer therefore leaves no partial file, and an existing
// destination survives it untouched. A destination that is the very file being read (another
// spelling, another drive letter, a hard link) is refused before anything is written.
//
// A write past the process's file-size limit raises SIGXFSZ, which ends a process that has not
// set it aside; a program that wants such a write to fail as a full disk does ignores SIGXFSZ.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

namespace detail {
struct PartialFileAccess;
}

enum class CopyProgressAnswer : int { Continue = 0, Cancel = 1 };

// Called on the copying thread: first with 0 bytes transferred before any data moves, then after
// every chunk (1 to 8 MiB, sized to the medium's speed), last with transferred == total. `total`
// is the source's length; it grows with a source that grows during the copy.
using CopyProgressRoutine = std::function<CopyProgressAnswer(int64_t total, int64_t transferred)>;

// Copies the file `source` to `dest`, replacing an existing destination file, and gives the copy
// the source's modification time. The source is opened with all sharing denied (a source that
// another open holds fails); an existing destination must be a writable file that no other open
// holds. `progress` may be empty; `cancelCell` may be null, and any non-zero value in it cancels
// (it is read before every chunk and after every call of `progress`), as does the Cancel answer.
// Fails when the source ends before the length it had when opened (it shrank, or the medium
// failed); a source that grows is copied to its new end. Data goes through the kernel (a
// reflink where the file system offers one, else copy_file_range, else read and write). The
// copy is not flushed to the disk before it is renamed into place.
bool systemCopy(std::string_view source, std::string_view dest, const CopyProgressRoutine& progress,
                const volatile int32_t* cancelCell);

// Moves the file or folder `source` to `dest`, never replacing anything that stands at `dest`
// (not even another name of the same file). A rename where both lie on one volume; across
// volumes a file is copied (modification time kept) and the source removed only once the copy
// stands complete at `dest`; a folder does not cross volumes. A file that another open holds
// is not moved. On failure the source stays where it was and nothing is left at `dest`.
bool systemMove(std::string_view source, std::string_view dest);

// True when both paths name one existing file (the same device and inode): another spelling,
// another drive letter mapped to the same folder, or a hard link.
bool sameFile(std::string_view first, std::string_view second);

// Gives `to` the modification time of `from` (to the nanosecond where the file system keeps
// it). Call it after the last write, which would set the time again.
bool copyModificationTime(FileHandle from, FileHandle to);

enum class ExistingFile { Replace, Keep };

// A destination file under construction. open() creates the temporary file beside `dest`;
// handle() is written with writeFile() (files.h); commit() puts it at `dest`; anything else
// (discard(), a failed commit, destruction) removes it. While open, an existing file at `dest`
// is held open with all sharing denied, so another process cannot take it meanwhile.
class PartialFile {
public:
    PartialFile() = default;
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile() { discard(); }

    // Fails, creating nothing, when `dest` names no mapped drive, a folder or some other
    // non-file, a file that cannot be written or that another open holds, or the same file as
    // `source` (an open handle of the file being copied; InvalidFile when there is none).
    bool open(std::string_view dest, FileHandle source = InvalidFile);
    FileHandle handle() const { return m_file; }
    // Closes the file (an error reported at close fails the commit) and renames it to `dest`:
    // over an existing file with Replace; with Keep, fails when anything stands at `dest` by
    // then. On failure the temporary file is removed and `dest` is as it was.
    bool commit(ExistingFile existing);
    void discard();

private:
    friend struct detail::PartialFileAccess;

    FileHandle m_file = InvalidFile;
    FileHandle m_heldDest = InvalidFile; // the existing destination, locked until the end
    std::string m_tempPath;              // host paths
    std::string m_destPath;
};

} // namespace platform
