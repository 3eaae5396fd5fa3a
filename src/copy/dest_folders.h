// The folder pass that runs before the first transfer of a copy run: the destination folder and
// every entry's folder are made with their missing parents. A folder that cannot be made is not
// reported here; the transfers into it fail later with their own lines. The partial files that
// a transfer killed before its end left in these folders (platform/transfer.h) are removed, so
// that an interrupted run leaves nothing behind once the next one has passed.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include <string>
#include <vector>

namespace copy {

// Logs row 129, titles the phase, makes `destFolder`, then walks `destNames` (the program path
// each entry is written under, in list order, "" for an entry that the run will not attempt)
// and logs row 131 for each entry whose folder differs (exact text) from the previous entry's,
// making it when missing. The names are those the volume takes (run_volume.h), so no folder is
// made under a name it refuses. Entries are passed over once the run is aborted.
void CreateDestFolders(const std::string& destFolder, const std::vector<std::string>& destNames,
                       const RunState& run, ProgressDisplay& display);

} // namespace copy
