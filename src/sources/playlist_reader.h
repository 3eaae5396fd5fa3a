// The playlist source: an M3U playlist read into the track list of ListDb, and the size of a
// file as the sources measure it.
#pragma once

#include "sources/message_sink.h"
#include "sources/tag_lookup.h"

#include <cstdint>
#include <string>
#include <vector>

namespace store {
class TfdbObject;
}

namespace sources {

// A file line that did not name an existing file and was found by the tail search
// (tail_search.h) below the playlist's folder or a parent of it.
struct RelocatedLine {
    int position = 0;  // of the entry in the track list
    std::string line;  // the line as decoded and trimmed
    std::string found; // the program path it was found at
};

// What a read found out beside the entries, for the front ends to log and mark.
struct PlaylistReport {
    std::vector<RelocatedLine> relocated; // in list order
    // When the build read tags (any source): each entry's tags, by list position, with the
    // reason where a file gave none.
    std::vector<TrackTags> tags;
};

// Appends one TrackEntry per file line of the playlist at `playlistPath`, in file order, with
// the description and length of the info line before it (playlist_lines.h), then makes every
// relative line full against the playlist's folder (resolvePlaylistLine) and, when
// `sizeLimit` (bytes) is not 0, puts each file's FileSizeOf in Size; otherwise Size stays -1.
//
// Shown through `showMessage`, after which reading goes on or ends as stated: a first line
// that is not "#EXTM3U" (interface text 122; reading ends with nothing appended), a track list
// without its "list" folder ("Error #83042 !"; nothing can be appended), and once at the end
// of the file the count of file lines skipped for being longer than any path
// (text 179 with the count; playlist_lines.h), the info lines whose description was cut
// (text 221), and for a UTF-8 playlist the lines that were no UTF-8 and were repaired
// (text 220). Each line's text is decoded on its own (text_decoding.h).
// Thrown as SourceError, entries made before staying in the list and the second pass not run:
// a playlist that cannot be opened ("Cannot open file "%s". %s", nothing appended) or read,
// and an info line whose length does not convert (badPlaylistLength, naming the playlist's
// host path and the line).
//
// The playlist is opened with all sharing denied, read once in pieces and closed before the
// sizes are measured; memory holds one piece and the longest line (a file line of 4,096 bytes,
// an info line of 64 KiB and its length), whatever the file's size.
// With `tags`, every file is looked at through its lookup (one open for length and tags, on
// the thread that measures sizes) and its tags are appended to it, one per entry.
void ReadPlaylist(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit,
                  const ShowMessage& showMessage, PlaylistReport* report = nullptr, TagsRead* tags = nullptr);

// The length in bytes of the file at `path`, opened for reading with all sharing denied; 0
// when it cannot be opened or measured (missing, no access, held open by another program, no
// regular file). Never reports an error.
int64_t FileSizeOf(const std::string& path);

} // namespace sources
