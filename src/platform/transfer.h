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
#include <optional>
#include <string>
#include <string_view>

namespace platform {

namespace detail {
struct PartialFileAccess;
}

enum class CopyProgressAnswer : int { Continue = 0, Cancel = 1 };

enum class ExistingFile { Replace, Keep };

// Asked when a transfer that never replaces finds its destination name taken at the moment it
// would put its file there (another program or run took it meanwhile): answers the next program
// path to try, or nullopt to give up, and the transfer then fails with AlreadyExists, leaving
// nothing behind. Answering the taken path again also gives up.
using TakenNameRoutine = std::function<std::optional<std::string>(const std::string& takenPath)>;

// Called on the copying thread: first with 0 bytes transferred before any data moves, then after
// every chunk (1 to 8 MiB, sized to the medium's speed), last with transferred == total. `total`
// is the source's length; it grows with a source that grows during the copy.
using CopyProgressRoutine = std::function<CopyProgressAnswer(int64_t total, int64_t transferred)>;

// Asked once a copy's data is complete and closed, while it still stands under its temporary
// name `copyProgramPath` and before it is renamed into place: false fails the transfer, the
// temporary file is removed and whatever stood at the destination stays as it was (an existing
// file that the copy would have replaced included). Lets a caller read the copy back first.
using WrittenCopyCheck = std::function<bool(const std::string& copyProgramPath)>;

// Copies the file `source` to `dest` and gives the copy the source's modification time. With
// Replace it replaces an existing destination file; with Keep it never does, not even a file
// that appears at `dest` while the data is copied: `onTaken` (may be empty) then names another
// destination, or the copy fails. The source is opened with all sharing denied (a source that
// another open holds fails); an existing destination must be a writable file that no other open
// holds. `progress` may be empty; `cancelCell` may be null, and any non-zero value in it cancels
// (it is read before every chunk and after every call of `progress`), as does the Cancel answer.
// Fails when the source ends before the length it had when opened (it shrank, or the medium
// failed); a source that grows, or that reports a length its content does not have (the files
// of /proc report 0 bytes), is copied to the end of its data. Data goes through the kernel (a
// reflink where the file system offers one, else copy_file_range, else read and write). The
// copy is not flushed to the disk before it is renamed into place; `check` (may be empty) is
// asked before that rename.
bool systemCopy(const ResolvedPath& source, const ResolvedPath& dest, const CopyProgressRoutine& progress,
                const volatile int32_t* cancelCell, ExistingFile existing = ExistingFile::Replace,
                const TakenNameRoutine& onTaken = {}, const WrittenCopyCheck& check = {});

enum class MoveResult {
    Failed,     // the source where it was, nothing left at the destination
    CopyFailed, // as Failed, across volumes: the copy could not be made or its check refused it
    Moved,      // the file or folder stands at the destination only
    CopiedOnly, // across volumes: the copy stands complete at the destination and the source
                // stayed too, because it was replaced, removed or changed while it was copied
                // (SourceChanged) or could not be removed (lastError() says why)
};

// Asked by a move across volumes once the copy is complete under its temporary name, before it
// is renamed into place and before the source is removed: false removes the copy and the move
// fails with the source where it was. A move within one volume renames and writes no data, so
// it asks nothing.
using MovedCopyCheck = WrittenCopyCheck;

// Moves the file or folder `source` to `dest`, never replacing anything that stands at `dest`
// (not even another name of the same file); `onTaken` (may be empty) may name another
// destination when `dest` is taken. A rename where both lie on one volume; across volumes a file
// is copied (modification time kept), and the source is removed only once the copy stands
// complete at `dest`, written to the device (fdatasync) and accepted by `check` (before its
// rename into place), and only when
// its name still refers to the file that was copied (the same device, inode, length and
// modification time as when it was opened): a new version saved over it meanwhile is never
// deleted, and a copy that passed its check is never removed again. A folder does not cross
// volumes. A file that another open holds is not moved.
MoveResult systemMove(const ResolvedPath& source, const ResolvedPath& dest,
                      const TakenNameRoutine& onTaken = {}, const MovedCopyCheck& check = {});

// True when both paths name one existing file (the same device and inode): another spelling,
// another drive letter mapped to the same folder, or a hard link.
bool sameFile(std::string_view first, std::string_view second);

// Gives `to` the modification time of `from` (to the nanosecond where the file system keeps
// it). Call it after the last write, which would set the time again.
bool copyModificationTime(FileHandle from, FileHandle to);

// A destination file under construction. open() creates the temporary file beside `dest`;
// handle() is written with writeFile() (files.h); commit() puts it at `dest`; anything else
// (discard(), a failed commit, destruction) removes it. While open, an existing file at `dest`
// is held open with all sharing denied, so another process cannot take it meanwhile, and the
// temporary file is held locked (flock) until it stands at its final name, so that a run that
// cleans the folder (removeAbandonedPartialFiles) tells it from one a killed process left.
class PartialFile {
public:
    PartialFile() = default;
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile() { discard(); }

    // A `dest` that was missing when it was looked up has no existing file to hold; one that
    // appears after that is never replaced under Keep (see commit).
    // Fails, creating nothing, when `dest` names no mapped drive, a folder or some other
    // non-file, a file that cannot be written or that another open holds, or the same file as
    // `source` (an open handle of the file being copied; InvalidFile when there is none).
    bool open(const ResolvedPath& dest, FileHandle source = InvalidFile);
    FileHandle handle() const { return m_file; }
    // The temporary file's host path, for a writer that opens it by name (the converter); ""
    // while nothing is open. The file must be written whole before commit.
    const std::string& tempHostPath() const { return m_tempPath; }
    // Closes the file (an error reported at close fails the commit) and renames it to `dest`:
    // over an existing file with Replace; with Keep never over anything that stands at `dest` by
    // then, asking `onTaken` (may be empty) for another name. On failure the temporary file is
    // removed and `dest` is as it was. `check` (may be empty) is asked after the close and
    // before the rename (see WrittenCopyCheck); its refusal fails the commit with errno EIO.
    bool commit(ExistingFile existing, const TakenNameRoutine& onTaken = {},
                const WrittenCopyCheck& check = {});
    void discard();

private:
    friend struct detail::PartialFileAccess;

    FileHandle m_file = InvalidFile;
    FileHandle m_heldDest = InvalidFile; // the existing destination, locked until the end
    std::string m_tempPath;              // host paths
    std::string m_destPath;
    std::string m_destName; // the program path of the destination
    uint64_t m_volume = 0;  // st_dev of the temporary file
};

// Moves the data of one file into a PartialFile in steps of the caller's size, so the caller can
// report progress and stop between steps. The kernel moves the data (copy_file_range), so no
// byte passes through the program; where the kernel or the file systems refuse the two files,
// read and write do, and the refusal is remembered for the pair of volumes, whose later files
// go straight to read and write.
class StepCopier {
public:
    // `from` is open for reading at its start; `to` is open and nothing has been written to it.
    StepCopier(FileHandle from, const PartialFile& to);
    StepCopier(const StepCopier&) = delete;
    StepCopier& operator=(const StepCopier&) = delete;

    // Moves up to `count` bytes from where the last step ended: answers the bytes moved, fewer
    // than `count` only where the source's data ends (0 there), whatever length it reports; -1
    // on failure, with lastErrorText() and writeFailed() telling why.
    int64_t copyStep(int64_t count);
    // After a failed step: true when the destination failed (a full disk, a file-size limit, a
    // write the device refused), false when the source did.
    bool writeFailed() const { return m_writeFailed; }

private:
    FileHandle m_from;
    FileHandle m_to;
    uint64_t m_destVolume;
    int64_t m_copied = 0;
    bool m_kernel = true;
    bool m_writeFailed = false;
};

// Removes the partial files (".<name>.tw-partial-XXXXXX") that a transfer ended before its
// commit left in `folder` (a program path; not its sub-folders): those that no process holds
// locked, since every transfer holds the one it writes until the end. Answers how many went; a
// folder that cannot be listed has none.
int removeAbandonedPartialFiles(std::string_view folder);

} // namespace platform
