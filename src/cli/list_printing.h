// --list: the built track list printed instead of copied, for a person or a script to check.
#pragma once

#include <cstdint>
#include <cstdio>

namespace store {
class TfdbObject;
}

namespace cli {

// One line per entry, in list order: the description, the source path and the destination
// path (program paths), separated by tabs; a tab or line end inside a field is printed as
// "?" so that every entry stays one line of three fields. Then, when `sizeLimit` is above
// 0, the limit verdict (plan/limit_bar.h) on a last line that begins with "# ".
void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, std::FILE* out);

} // namespace cli
