// The program's own chunked copy (transfer mode 0): one file in steps of 131072 bytes that the
// kernel moves (platform::StepCopier), with both bars and the time and size labels after every
// step, and the skip and abort flags tested before every step.
//
// The copy is written under a temporary name beside the destination and renamed over it only
// once every byte has arrived, so a copy that fails, is skipped or is cancelled leaves no partial
// file and leaves an existing destination as it was. A destination that is the source itself
// (another spelling, a hard link) is refused before anything is written.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "platform/transfer.h"

#include <cstddef>
#include <string_view>

namespace copy {

inline constexpr size_t CopyStepSize = 131072;

// What OwnCopy reports; the caller logs the error line of each code but Done and Interrupted,
// with the reason of the last platform failure (SourceEnded has its own).
enum class OwnCopyResult {
    Done,        // complete and in place
    Interrupted, // by skip or cancel before its end (already logged): no copy left
    SourceError, // the source could not be opened: nothing was created
    DestError,   // the destination could not be created
    ReadError,   // the source failed: no copy left
    SourceEnded, // the source ended before its length (it shrank): no copy left
    WriteError,  // the destination took fewer bytes (full disk) or could not be
                 // put in place: no copy left, an old destination unchanged
};

// Copies `source` to `dest` to the end of the source's data, which may lie past the length it
// reports. With Replace it replaces a file at `dest`, only on success; with Keep it never
// does, and a name taken while the data was copied goes to `onTaken` (may be empty; see
// platform::TakenNameRoutine). An interruption by skip (run.FileGoOn) or cancel
// (run.shell.WorkActive) logs row 134 with `dest` and an empty line and sets both bars to 0.
// `check` (may be empty) is asked before the copy is renamed into place
// (platform::WrittenCopyCheck); a refusal is a WriteError.
OwnCopyResult OwnCopy(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                      const RunState& run, ProgressDisplay& display,
                      platform::ExistingFile existing = platform::ExistingFile::Replace,
                      const platform::TakenNameRoutine& onTaken = {},
                      const platform::WrittenCopyCheck& check = {});

} // namespace copy
