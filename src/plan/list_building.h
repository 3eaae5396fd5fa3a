// Building the track list from nothing, the step between the destination page and the
// preview: the list emptied, the chosen source read, every entry named, invalid names fixed.
#pragma once

#include "plan/naming.h"
#include "sources/message_sink.h"
#include "sources/source_choice.h"

#include <cstdint>

namespace store {
class TfdbObject;
}

namespace plan {

// The text row of the message that reports corrected names, with their count.
inline constexpr int CorrectedNamesRow = 207;

// Empties "list" (the mask stays), reads `source` into it (sources::readSource, `sizeLimit`
// in bytes, 0 = none), sets every FileName (ComputeDestNames), when renaming by description is
// on cleans invalid names (FixInvalidNames) and shows the CorrectedNamesRow message with their
// count when it is above 0 (names that the destination's volume refuses are the preview's
// marks, not corrections). Messages of the sources are shown and the build goes on; a
// SourceError of the playlist reader ends the build at once and passes to the caller, leaving
// the entries read so far unnamed. `report` receives what the playlist reader found out.
// `tags` (off unless asked for) has the source's files read for tags while the list is built,
// so that entries are described and timed before they are named (sources::readSource).
void BuildTrackList(store::TfdbObject& listDb, const sources::SourceChoice& source, int64_t sizeLimit,
                    const NamingOptions& naming, const sources::ShowMessage& showMessage,
                    sources::PlaylistReport* report = nullptr, const sources::TagOptions& tags = {});

} // namespace plan
