// The histories of the combo boxes (playlists, source folders, destinations, size limits):
// newest first, never trimmed, and a text that is already there in any letter case is not
// added again, as the list's exact-text search of the desktop toolkit does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plan {

// Inserts `text` as the first item of `items` unless an item equals it ignoring letter case
// (ASCII, Latin-1 and Cyrillic); answers whether it was inserted.
bool rememberInHistory(std::vector<std::string>& items, std::string_view text);

} // namespace plan
