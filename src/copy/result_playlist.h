// The result playlist "_playlist_.m3u" that a completed copy run writes into the destination
// folder: "#EXTM3U", then per entry of the track list an "#EXTINF:<Len>,<Desc>" line when the
// entry has a description and always its planned destination path; CR LF after every line, no
// byte-order mark, texts as stored. An existing playlist of that name is replaced.
#pragma once

#include "copy/progress_display.h"

#include <string>
#include <string_view>

namespace store {
class TfdbObject;
}

namespace copy {

inline constexpr const char* PlaylistFileName = "_playlist_.m3u";

// destFolder + "\_playlist_.m3u" with every doubled "\" after the first two characters made
// single: "D:\" gives "D:\_playlist_.m3u".
std::string PlaylistPath(std::string_view destFolder);

// The bytes of the playlist for the entries of `listDb`. Len counts by its low 16 bits, signed
// (40000 is written as -25536).
std::string PlaylistText(store::TfdbObject& listDb);

// Logs row 132 with the path and writes the file (whole or not at all). When it is written, asks
// row 133 and on Yes opens it with the default handler; when it cannot be written, logs row 157
// with the path and asks nothing.
void WritePlaylist(std::string_view destFolder, store::TfdbObject& listDb, ProgressDisplay& display);

} // namespace copy
