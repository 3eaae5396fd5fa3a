// The store side of the naming rules: walks "list" in ListDb, in list order, and writes each
// entry's FileName. The rules themselves are in naming.cpp.
#include "plan/naming.h"

#include "store/track_list.h"

namespace plan {

namespace {

void setFileName(store::TfdbObject& listDb, int position, std::string name) {
    store::setTrackField(listDb, position, store::TrackField::FileName,
                         store::StoreValue::fromText(std::move(name)));
}

} // namespace

void ComputeDestNames(store::TfdbObject& listDb, const NamingOptions& options) {
    const int count = store::trackCount(listDb);
    if (count == 0) {
        return;
    }
    const int width = numberWidthFor(count - 1);
    NamingOptions full = options;
    full.destFolder = fullDestFolder(options.destFolder);
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        setFileName(listDb, position, destNameFor(full, entry.OrigFileName, entry.Desc, position, width));
    });
}

int FixInvalidNames(store::TfdbObject& listDb, const NamingOptions& options) {
    const std::string destFolder = fullDestFolder(options.destFolder);
    int count = 0;
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        if (auto cleaned = cleanInvalidName(entry.FileName, destFolder, options.invalidChars)) {
            setFileName(listDb, position, std::move(*cleaned));
            ++count;
        }
    });
    return count;
}

} // namespace plan
