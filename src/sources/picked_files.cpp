#include "sources/picked_files.h"

#include "sources/playlist_reader.h"
#include "sources/track_entries.h"

namespace sources {

void AddPickedFiles(store::TfdbObject& listDb, const std::vector<std::string>& pickedFiles, int64_t sizeLimit) {
    TrackListAppender appender(listDb);
    for (const std::string& path : pickedFiles) {
        appender.append({path, "", sizeLimit != 0 ? FileSizeOf(path) : SizeNotMeasured, std::nullopt});
    }
}

} // namespace sources
