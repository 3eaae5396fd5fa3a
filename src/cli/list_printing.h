// --list: the built track list printed instead of copied, for a person or a script to check.
#pragma once

#include "sources/playlist_reader.h"

#include <cstdint>
#include <cstdio>

namespace store {
class TfdbObject;
}

namespace cli {

// One line per entry, in list order: the description, the source path, the destination path
// (host paths, platform/shown_paths.h) and the source's state: "ok", "missing" (no file there),
// or "relocated" (the playlist's line named another place and the tail search found it here),
// separated by tabs; a tab or line end inside a field is printed as "?" so that every entry
// stays one line of four fields. Then, when `sizeLimit` is above 0, the limit verdict
// (plan/limit_bar.h) on a last line that begins with "# ".
void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, const sources::PlaylistReport& report,
                    std::FILE* out);

// What a script or person must hear about the sources before anything is copied, one line
// each on `err`: every playlist line found elsewhere (text 93), then every missing source
// (text 92), each path once however often the list names it.
void ReportSources(store::TfdbObject& listDb, const sources::PlaylistReport& report, std::FILE* err);

} // namespace cli
