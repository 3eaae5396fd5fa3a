// The picked-files source: the files chosen in the multi-select open dialog as TrackEntry
// objects of ListDb.
#pragma once

#include "sources/tag_lookup.h"

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
// With `tags`, the files are opened once each through its lookup on a thread of their own, for
// their length and tags; the tags of each entry made are appended to it.
void AddPickedFiles(store::TfdbObject& listDb, const std::vector<std::string>& pickedFiles, int64_t sizeLimit,
                    TagsRead* tags = nullptr);

} // namespace sources
