// The copy run: carries out the plan in the track list (ListDb) on the progress page. It
// measures every source (the scan), asks the facts of the destination volume (run_volume.h),
// refuses to start when the destination's drive cannot be queried or lacks room for the files
// (in whole allocation units), makes the destination folders, then copies or moves the entries
// in list order with the existing-file policy, the progress display and a log line per action.
// Each entry is written under the name the volume takes; a file larger than the volume holds
// is not attempted and counts as failed. On a removable volume (or with FlushAlways) the run
// then flushes what it wrote, and only then ends with a closing line, the result playlist when
// asked for, and the summary (row 158: copied, skipped, with errors, not found), which the
// progress view also shows (ProgressView::showSummary) and the run state keeps in its counters.
//
// Everything runs on the calling thread; the window's messages are processed inside the
// throttled progress updates, which is how the skip button (RunState::FileGoOn) and the abort
// button (ShellFlags::WorkActive, CopyCancelCell) reach the run. The run writes back into the
// list only the sizes it measured.
#pragma once

#include "copy/copy_options.h"
#include "copy/progress_display.h"
#include "copy/run_state.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace store {
class TfdbObject;
}

namespace copy {

// Free bytes for the destination: drive letter ('A'..'Z') and the destination folder text;
// -1 when the drive cannot be queried. platform::freeSpace unless a test hands in its own.
using FreeSpaceQuery = std::function<int64_t(char drive, std::string_view path)>;

// The drive letter that the first character of a destination names ('A'..'Z'), or '\0' when
// it names none (a network path "\\...", an empty text).
char destDriveLetter(std::string_view destFolder);

// The whole run. Sets the shell flags running at its start and idle at its end; the run state
// keeps the last run's counters afterwards.
void CopyRun(const CopyOptions& options, store::TfdbObject& listDb, RunState& run, ProgressDisplay& display,
             const FreeSpaceQuery& freeSpace = {});

// The scan before the transfers: counts the entries, the missing and the unreadable sources,
// sums the lengths of the sources it can open into TotalBytes and writes each one into its
// entry's Size, then logs the counts. `lengths`, when given, receives each entry's length in
// list order, -1 for a source it could not open.
void ScanSources(store::TfdbObject& listDb, RunState& run, ProgressDisplay& display,
                 std::vector<int64_t>* lengths = nullptr);

} // namespace copy
