// Finding the file of a playlist line that names a place that is not here: a playlist made on
// another machine names "D:\Music\Artist\Album\01.mp3", and the same tree often sits beside
// the playlist or a few folders above it. The search tries the line's last names below the
// playlist's folder and its parents, so "D:\Music\Artist\Album\01.mp3" next to a playlist in
// /home/ann/Music/Lists finds /home/ann/Music/Artist/Album/01.mp3.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sources {

// How far the search looks: the playlist's folder and this many folders above it, and at most
// this many of the line's last names. In the playlist's own folder any tail counts, the file
// name alone too, since a list made beside its files puts them there. Above it a tail must
// hold the file name and at least two of its folders: one folder is not enough, since many
// artists have a "Greatest Hits\01.mp3", and one level up is already a collection of theirs.
inline constexpr int TailSearchParentLevels = 4;
inline constexpr int TailSearchMaxNames = 6;
inline constexpr size_t TailSearchNamesAbove = 3;

class TailSearch {
public:
    // `playlistFolder` is a program path (playlistFolderOf of the playlist).
    explicit TailSearch(std::string_view playlistFolder);

    // The program path of an existing file whose path ends with the last names of `missing` (a
    // program path whose file does not exist), nullopt when none is found or `missing` names no
    // place. The longest tail wins, then the folder nearest the playlist. Each candidate's
    // first folder is looked up once per search object, so a playlist whose lines share a
    // missing tree costs a few lookups, not some for every line.
    std::optional<std::string> find(std::string_view missing);

private:
    bool folderExists(const std::string& path);

    std::string m_folder; // full program path, "" when it names no place
    std::map<std::string, bool> m_folders;
};

} // namespace sources
