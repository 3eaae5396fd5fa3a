#include "sources/picked_files.h"

#include "sources/file_probes.h"
#include "sources/playlist_reader.h"
#include "store/track_list.h"

#include <algorithm>

namespace sources {

void AddPickedFiles(store::TfdbObject& listDb, const std::vector<std::string>& pickedFiles, int64_t sizeLimit,
                    TagsRead* tags) {
    const bool measure = sizeLimit != 0;
    if (!tags) {
        for (const std::string& path : pickedFiles) {
            store::TrackEntry entry;
            entry.OrigFileName = path;
            entry.Size = measure ? FileSizeOf(path) : -1;
            store::appendTrackEntry(listDb, entry);
        }
        return;
    }
    FileProbes probes(measure, pickedFiles.size(), &tags->lookup);
    for (const std::string& path : pickedFiles) {
        probes.add(path);
    }
    probes.finish();
    for (size_t i = 0; i < pickedFiles.size(); ++i) {
        store::TrackEntry entry;
        entry.OrigFileName = pickedFiles[i];
        entry.Size = measure ? std::max<int64_t>(probes.answer(i), 0) : -1;
        if (store::appendTrackEntry(listDb, entry) <= 0) {
            tags->tags.push_back(std::move(probes.tags(i)));
        }
    }
}

} // namespace sources
