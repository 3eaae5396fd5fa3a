#include "plan/list_building.h"

#include "plan/volume_check.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <string>

namespace plan {

void BuildTrackList(store::TfdbObject& listDb, const sources::SourceChoice& source, int64_t sizeLimit,
                    const NamingOptions& naming, const sources::ShowMessage& showMessage,
                    sources::PlaylistReport* report, const sources::TagOptions& tags) {
    store::rebuildTrackList(listDb);
    sources::readSource(listDb, source, sizeLimit, showMessage, report, tags);
    ComputeDestNames(listDb, naming);
    // Only the descriptions' own corrections are counted: a name the destination's volume
    // refuses is shown as the preview's mark, with the name it will be written as.
    const int corrected = naming.renameByDescription ? FixInvalidNames(listDb, naming) : 0;
    if (corrected > 0) {
        sources::showText(showMessage, texts::FormatText(CorrectedNamesRow, {corrected}));
    }
}

} // namespace plan
