#include "sources/picked_files.h"

#include "sources/playlist_reader.h"
#include "store/track_list.h"

namespace sources {

void AddPickedFiles(store::TfdbObject& listDb, const std::vector<std::string>& pickedFiles,
                    int64_t sizeLimit) {
    for (const std::string& path : pickedFiles) {
        store::TrackEntry entry;
        entry.OrigFileName = path;
        entry.Size = sizeLimit != 0 ? FileSizeOf(path) : -1;
        store::appendTrackEntry(listDb, entry);
    }
}

} // namespace sources
