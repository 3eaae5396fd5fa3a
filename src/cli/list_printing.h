// --list: the built track list printed instead of copied, for a person or a script to check.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace store {
class TfdbObject;
}

namespace cli {

// The limit verdict as the preview page's limit bar shows it: the percentage of the limit
// that the listed total takes (the nearest whole number), "%  -  ", then the total and the
// limit as size texts joined by "/": "50%  -  350 Мб/700 Мб". `sizeLimit` above 0.
std::string LimitVerdictText(int64_t total, int64_t sizeLimit);

// The total the limit bar measures: the sum of the entries' sizes that are above 0 (-1 is a
// size that was not looked up, 0 one that could not be).
int64_t ListedTotal(store::TfdbObject& listDb);

// One line per entry, in list order: the description, the source path and the destination
// path (program paths), separated by tabs; a tab or line end inside a field is printed as
// "?" so that every entry stays one line of three fields. Then, when `sizeLimit` is above
// 0, the limit verdict on a last line that begins with "# ".
void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, std::FILE* out);

} // namespace cli
