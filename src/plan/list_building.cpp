#include "plan/list_building.h"

#include "store/track_list.h"

#include <string>

namespace plan {

void BuildTrackList(store::TfdbObject& listDb, const sources::SourceChoice& source, int64_t sizeLimit,
                    const NamingOptions& naming, const sources::ShowMessage& showMessage,
                    sources::PlaylistReport* report) {
    store::rebuildTrackList(listDb);
    sources::ReadSource(listDb, source, sizeLimit, showMessage, report);
    ComputeDestNames(listDb, naming);
    if (naming.renameByDescription) {
        const int corrected = FixInvalidNames(listDb, naming);
        if (corrected > 0) {
            sources::Show(showMessage, CorrectedNamesText + std::to_string(corrected));
        }
    }
}

} // namespace plan
