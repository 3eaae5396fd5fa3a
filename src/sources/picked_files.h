// The picked-files source: the files chosen in the multi-select open dialog as TrackEntry
// objects of ListDb.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace store {
class TfdbObject;
}

namespace sources {

// Appends one TrackEntry per path of `pickedFiles` (program paths, as the dialog answered
// them; empty after a cancelled dialog), in that order: OrigFileName the path as it is, empty
// FileName and Desc, Size = FileSizeOf(path) when `sizeLimit` is not 0, else -1; Len unwritten.
// No check of extension, existence or doubles. A refused object is left out silently.
void AddPickedFiles(store::TfdbObject& listDb, const std::vector<std::string>& pickedFiles,
                    int64_t sizeLimit);

} // namespace sources
