// Path text helpers of the sources: the clean-up after joining a folder and a name, the
// starting folder of a walk, and what a playlist line names. Text work on program paths
// ("\" separators, "D:" drives, "\\server" network roots) and the drive table's mapping of
// host paths; nothing here touches the disk.
#pragma once

#include <string>
#include <string_view>

namespace sources {

// The first start-1 characters unchanged; from position `start` (1-based) on, a "\" whose
// preceding character is also "\" is left out, so every later run of backslashes shrinks to
// one. With start 3 the leading "\\" of a network path survives. Any length and start work.
std::string CollapseBackslashes(std::string_view path, int start);

// The text without any trailing "\": "D:\Music\\" -> "D:\Music", "D:\" -> "D:", "\\\" -> "".
std::string StripTrailingBackslashes(std::string_view path);

// The text without leading and trailing characters of code 0 to 32.
std::string_view trimControlChars(std::string_view text);

// The folder of a playlist: its path up to the last "\" or ":", that "\" left out unless it
// follows a ":" or another "\" ("D:\Lists\a.m3u" -> "D:\Lists", "D:\a.m3u" -> "D:\",
// "D:a.m3u" -> "D:", "a.m3u" -> ""). A "/" counts as a "\" and is given back as one, unless
// the path holds "://".
std::string playlistFolderOf(std::string_view playlistPath);

// The full path of one playlist file line: trimmed, then by its form:
//  - "file://..." names the host file of its address, percent escapes decoded
//    (platform::fullProgramPath); an address that names no file stays as it is;
//  - "/..." is an absolute host path, turned into its program path (platform/drives.h);
//  - a drive letter and ":" at the start, or a "\" there, is a program path: every "/" made "\";
//  - another text with "://" is an address and keeps its form;
//  - anything else is relative, its names split at "\" and "/", each a host name that may hold
//    characters that program names forbid (a ":" of "Live: Moscow" is a plain character here),
//    turned into its program name and joined below `folder` (a playlistFolderOf). A folder that
//    is "" or a bare drive ("D:") is the current folder (of that drive), so the line joins it
//    without a "\" and stays relative to the same place the playlist was found through.
// Dot segments stay.
std::string resolvePlaylistLine(std::string_view line, std::string_view folder);

} // namespace sources
