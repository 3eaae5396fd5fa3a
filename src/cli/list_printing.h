// --list and --check: the preview of the built list printed instead of copied, for a person or
// a script to check. Everything printed comes from plan::Preview, as the window shows it.
#pragma once

#include <cstdio>

namespace plan {
class Preview;
}

namespace cli {

// One line per entry, in list order, with tab-separated fields: the description, the source
// path, the destination path (host paths, platform/shown_paths.h), the source's state in one
// word: "ok", "missing" (no file there) or "relocated" (the playlist's line named another
// place and the tail search found it here), what the destination's volume will refuse of the
// entry ("" when nothing), and, on a row that has states, a sixth field with them in words as
// the preview shows them (a row that is fine keeps to five fields). A tab or line end inside a field is
// printed as "?" so that every entry stays one line. With `header` (stdout is a terminal) a first "# " line
// names the columns. Then
// "# " lines: the limit verdict when there is a limit (plan/limit_bar.h) with the totals on the
// volume when they differ, and the totals with how many rows have each state.
void printTrackList(const plan::Preview& preview, bool header, std::FILE* out);

// --check: for each entry that the volume will refuse as it is, its destination path (a host
// path), a tab and the reasons; then a "# " line that counts them (plan::volumeCheckLine), or
// says that there are none. Answers how many entries have a problem.
int printVolumeProblems(const plan::Preview& preview, std::FILE* out);

// What a script or person must hear about the sources before anything is copied, one line
// each on `err`: every playlist line found elsewhere (text 93), then every missing source
// (sources::missingSourceText: not found, or no file), each path once however often the list
// names it.
void reportSources(const plan::Preview& preview, std::FILE* err);

} // namespace cli
