#include "plan/list_building.h"

#include "plan/volume_check.h"
#include "store/track_list.h"

#include <string>

namespace plan {

void BuildTrackList(store::TfdbObject& listDb, const sources::SourceChoice& source, int64_t sizeLimit,
                    const NamingOptions& naming, const sources::ShowMessage& showMessage,
                    sources::PlaylistReport* report, const sources::TagOptions& tags) {
    store::rebuildTrackList(listDb);
    sources::ReadSource(listDb, source, sizeLimit, showMessage, report, tags);
    ComputeDestNames(listDb, naming);
    int corrected = naming.renameByDescription ? FixInvalidNames(listDb, naming) : 0;
    corrected += NamesCleanedForVolume(listDb, naming);
    if (corrected > 0) {
        sources::Show(showMessage, CorrectedNamesText + std::to_string(corrected));
    }
}

int NamesCleanedForVolume(store::TfdbObject& listDb, const NamingOptions& naming) {
    const std::string destFolder = FullDestFolder(naming.destFolder);
    auto facts = platform::volumeFactsOf(destFolder);
    if (!facts) {
        return 0;
    }
    int count = 0;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        if (NameOnVolume(*facts, entry.FileName, destFolder, naming.invalidChars) != entry.FileName) {
            ++count;
        }
    });
    return count;
}

} // namespace plan
