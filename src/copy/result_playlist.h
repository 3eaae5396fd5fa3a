// The result playlist "_playlist_.m3u" that a completed copy run writes into the destination
// folder, for players on this host and on the devices the copies go to: "#EXTM3U", then per
// entry of the track list an "#EXTINF:<Len>,<Desc>" line when the entry has a description and
// always the path of its copy; CR LF after every line, UTF-8 without a byte-order mark. The
// path is the name the copy really got (a numbered name of the existing-file policy included),
// as a host path: relative to the playlist's folder with "/" separators by default, absolute
// by choice. A path that a playlist reader would take otherwise as a plain line (a name that
// holds "\" or a control character, begins with "#" or a blank, ends with a blank, or is no
// UTF-8) is written as the file:// address of its absolute host path, every byte that could be
// misread (a "%" too) escaped; relative playlists hold such lines absolute, since an address
// is. So the playlist reads back as the very files it was written for. An existing playlist of
// that name is replaced.
#pragma once

#include "copy/copy_options.h"
#include "copy/progress_display.h"

#include <map>
#include <string>
#include <string_view>

namespace store {
class TfdbObject;
}

namespace copy {

inline constexpr const char* PlaylistFileName = "_playlist_.m3u";

// destFolder + "\_playlist_.m3u" with every doubled "\" after the first two characters made
// single: "D:\" gives "D:\_playlist_.m3u".
std::string resultPlaylistPath(std::string_view destFolder);

// How the playlist's lines are written: the destination folder (a program path) that relative
// lines start from, the path form, and the names that copies got in place of their FileName
// (RunState::LandedNames).
struct PlaylistLines {
    std::string destFolder;
    PlaylistPaths paths = PlaylistPaths::Relative;
    const std::map<int, std::string>* landedNames = nullptr;
};

// The line that names the copy at program path `copyPath`: its host path, or that path below
// the host path of the destination folder with "/" separators (the absolute host path when it
// does not lie below that folder); its file:// address where the plain line would read back
// otherwise.
std::string playlistEntryLine(std::string_view copyPath, const PlaylistLines& lines);

// The bytes of the playlist for the entries of `listDb`. Len counts by its low 16 bits, signed
// (40000 is written as -25536).
std::string resultPlaylistText(store::TfdbObject& listDb, const PlaylistLines& lines);

// Logs row 132 with the host path and writes the file (whole or not at all). When it is written,
// asks row 133 and on Yes opens it with the default handler; when it cannot be written, logs
// row 157 with the path and asks nothing.
void WritePlaylist(const CopyOptions& options, store::TfdbObject& listDb,
                   const std::map<int, std::string>& landedNames, ProgressDisplay& display);

} // namespace copy
