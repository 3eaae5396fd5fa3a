// Transfer modes 1 and 2: the platform's copy service with the progress routine CopyProgress
// and the cancel cell, and its move service (platform/transfer.h). Neither leaves a partial
// file behind, neither touches the file it would copy onto itself, and the move never replaces
// anything at the destination.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "platform/transfer.h"

#include <cstdint>
#include <string_view>

namespace copy {

// The progress routine of the system copy: both bars, the window's pending messages, then
// Cancel when the run was aborted (run.shell.WorkActive) or the entry skipped (run.FileGoOn).
// The status labels are left for the run to update after the file.
platform::CopyProgressAnswer CopyProgress(int64_t total, int64_t transferred, const RunState& run,
                                          ProgressDisplay& display);

// Copies `source` to `dest` while watching run.shell.CopyCancelCell; false on any failure, a
// cancel included. `existing`, `onTaken` and `check` as for platform::systemCopy.
bool runSystemCopy(const platform::ResolvedPath& source, const platform::ResolvedPath& dest, RunState& run,
                   ProgressDisplay& display,
                   platform::ExistingFile existing = platform::ExistingFile::Replace,
                   const platform::TakenNameRoutine& onTaken = {},
                   const platform::WrittenCopyCheck& check = {});

// Moves `source` to `dest` (a rename on one volume); cannot be interrupted; never replaces
// anything at `dest` (`onTaken` may name another destination); `check` may refuse a copy made
// across volumes before the source is removed. See platform::systemMove.
platform::MoveResult runSystemMove(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                                   const platform::TakenNameRoutine& onTaken = {},
                                   const platform::MovedCopyCheck& check = {});

} // namespace copy
