// --list: the built track list printed instead of copied, for a person or a script to check.
#pragma once

#include "plan/volume_check.h"
#include "platform/volume_facts.h"
#include "sources/playlist_reader.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace store {
class TfdbObject;
}

namespace cli {

// What the volume of the destination will refuse of the list (plan/volume_check.h).
struct VolumeReport {
    platform::VolumeFacts facts;
    std::vector<plan::VolumeProblem> problems;
};

// The volume report of the built list, nullopt when the facts of the destination's volume
// cannot be had.
std::optional<VolumeReport> CheckVolume(store::TfdbObject& listDb, const plan::NamingOptions& naming);

// One line per entry, in list order: the description, the source path, the destination path
// (host paths, platform/shown_paths.h), the source's state: "ok", "missing" (no file there),
// or "relocated" (the playlist's line named another place and the tail search found it here),
// and what the destination's volume will refuse of the entry ("" when nothing), separated by
// tabs; a tab or line end inside a field is printed as "?" so that every entry stays one line
// of five fields. Then, when `sizeLimit` is above 0, the limit verdict (plan/limit_bar.h) on a
// last line that begins with "# ". With `sizesOnVolume` (the limit is the volume's free space)
// the verdict counts each size rounded up to the volume's allocation unit, and a second "# "
// line gives both totals when rounding changes the sum.
void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, bool sizesOnVolume,
                    const sources::PlaylistReport& report, const std::optional<VolumeReport>& volume,
                    std::FILE* out);

// --check: for each entry that the volume will refuse as it is, its destination path (a host
// path), a tab and the reasons; then a "# " line that counts them (plan::VolumeCheckLine), or
// says that there are none. Answers how many entries have a problem.
int PrintVolumeProblems(store::TfdbObject& listDb, const VolumeReport& volume, std::FILE* out);

// What a script or person must hear about the sources before anything is copied, one line
// each on `err`: every playlist line found elsewhere (text 93), then every missing source
// (sources::MissingSourceText: not found, or no file), each path once however often the list
// names it.
void ReportSources(store::TfdbObject& listDb, const sources::PlaylistReport& report, std::FILE* err);

} // namespace cli
