// The source chosen on the source page, as the window reads it from its controls, and reading
// that source into the track list.
#pragma once

#include "sources/message_sink.h"
#include "sources/playlist_reader.h"
#include "sources/track_description.h"

#include <cstdint>
#include <string>
#include <vector>

namespace store {
class TfdbObject;
}

namespace sources {

// Values of SourceKind; any other value selects no source.
inline constexpr int32_t PlaylistSource = 1;
inline constexpr int32_t FolderSource = 2;
inline constexpr int32_t PickedFilesSource = 3;

struct SourceChoice {
    int32_t kind = 0;                       // SourceKind
    std::string playlistPath{};             // cbSource1, as typed
    std::string folderPath{};               // cbSource2, as typed
    std::vector<std::string> pickedFiles{}; // OpenDialog2's last answer (program paths)
};

// Appends the entries of the chosen source to the track list (which the caller has emptied):
// ReadPlaylist, ScanFolder with AddFolderFile, or AddPickedFiles; nothing for another kind.
// `sizeLimit` in bytes, 0 = none. Messages and errors as those functions state them: a
// SourceError from the playlist reader passes through; `report` is the playlist reader's.
// With tags switched on in `tags`, every entry's file is also read for its tags while the
// list is built (through the cache in tags.cacheFolder, which is saved afterwards), the entries
// are described and timed from them (applyTrackTags) and report->tags receives them; switched
// off, nothing of that happens and no file is opened beyond what the source reads anyway.
void readSource(store::TfdbObject& listDb, const SourceChoice& choice, int64_t sizeLimit,
                const ShowMessage& showMessage, PlaylistReport* report = nullptr,
                const TagOptions& tags = {});

} // namespace sources
