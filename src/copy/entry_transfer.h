// One entry's transfer in the run's mode, with its log lines: the transfer line, and on failure
// the mode's error line followed by the reason. A name that another program or run takes while
// the entry is transferred gets the existing-file policy once more: only overwrite replaces.
#pragma once

#include "copy/copy_options.h"
#include "copy/existing_file_policy.h"
#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "platform/files.h"

#include <string>

namespace copy {

enum class EntryOutcome {
    Copied,         // at its destination
    CopiedNotMoved, // a move whose copy stands but whose source had to stay (row 159): an error
    Skipped,        // by the skip button or an abort, during the transfer
    PolicySkipped,  // its name was taken during the transfer and the policy is skip
    Failed,         // its error line logged
};

// `dest` is where the entry goes after the policy's first step; `planned` is the entry's own
// destination, from which the next numbered names are counted. Both paths come looked up
// already, so the transfer does not look them up again. `landed`, when given, receives the name
// the transfer last went to: `dest`, or the numbered name the policy gave it when that name was
// taken meanwhile.
//
// With `verify`, each copy is read back and compared with its source while it still stands under
// its temporary name (write_checks.h); one that differs is removed before it takes the
// destination's name, so an existing file it would have replaced stays, and the entry fails. A
// move across volumes is checked before its source is removed, so a failed check keeps the
// source; a move within one volume is a rename that rewrites no data and is not read back.
EntryOutcome transferEntry(TransferMode mode, ExistAction action, const platform::ResolvedPath& source,
                           const platform::ResolvedPath& dest, const std::string& planned, RunState& run,
                           ProgressDisplay& display, std::string* landed = nullptr, bool verify = false);

} // namespace copy
