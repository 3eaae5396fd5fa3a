#include "sources/source_choice.h"

#include "sources/file_probes.h"
#include "sources/folder_scanner.h"
#include "sources/picked_files.h"
#include "sources/playlist_reader.h"
#include "sources/source_messages.h"
#include "sources/source_paths.h"
#include "sources/track_description.h"

#include <optional>

namespace sources {
namespace {

// The folder source; what the walk left out is shown once at its end. With `tags`, a file the
// cache knows at the length and time the listing told is described from it at once; every other
// file kept goes to a lookup on a thread of its own while the walk goes on (the sizes stay those
// of the listing).
void readFolder(store::TfdbObject& listDb, const std::string& folderPath, const ShowMessage& showMessage,
                TagsRead* tags) {
    std::optional<FileProbes> probes;
    std::vector<size_t> probed; // the list places of the files sent to the probes, in order
    if (tags) {
        probes.emplace(false, 0, &tags->lookup);
    }
    std::vector<LeftOutPlace> leftOut;
    int64_t leftOutCount = 0;
    const std::string folder = StripTrailingBackslashes(folderPath);
    ScanFolder(
        folderPath,
        [&](const std::string& relativePath, const platform::FolderEntry& entry) {
            if (!probes) {
                AddFolderFile(listDb, folderPath, relativePath, entry);
                return;
            }
            if (!isAudioFile(relativePath)) {
                return;
            }
            store::TrackEntry track = folderTrackEntry(folderPath, relativePath, entry);
            std::optional<TrackTags> known =
                tags->lookup.cached(track.OrigFileName, {entry.size, entry.modifiedTime});
            if (known) {
                describeEntry(track, *known, tags->options);
            }
            std::string path = track.OrigFileName;
            if (store::appendTrackEntry(listDb, track) > 0) {
                return;
            }
            tags->described.push_back(known.has_value());
            if (known) {
                tags->tags.push_back(std::move(*known));
                return;
            }
            probed.push_back(tags->tags.size());
            tags->tags.emplace_back();
            probes->add(std::move(path));
        },
        isAudioFile,
        [&](const std::string& relativePath, const std::string& reason) {
            if (leftOut.size() < MostPlacesNamed) {
                leftOut.push_back({CollapseBackslashes(folder + relativePath, 3), reason});
            }
            ++leftOutCount;
        });
    if (probes) {
        probes->finish();
        for (size_t i = 0; i < probed.size(); ++i) {
            tags->tags[probed[i]] = std::move(probes->tags(i));
        }
    }
    if (leftOutCount > 0) {
        showText(showMessage, leftOutMessage(leftOut, leftOutCount));
    }
}

void readChosen(store::TfdbObject& listDb, const SourceChoice& choice, int64_t sizeLimit,
                const ShowMessage& showMessage, PlaylistReport* report, TagsRead* tags) {
    switch (choice.kind) {
    case PlaylistSource:
        ReadPlaylist(listDb, choice.playlistPath, sizeLimit, showMessage, report, tags);
        break;
    case FolderSource:
        readFolder(listDb, choice.folderPath, showMessage, tags);
        break;
    case PickedFilesSource:
        AddPickedFiles(listDb, choice.pickedFiles, sizeLimit, tags);
        break;
    default:
        break;
    }
}

} // namespace

void readSource(store::TfdbObject& listDb, const SourceChoice& choice, int64_t sizeLimit,
                const ShowMessage& showMessage, PlaylistReport* report, const TagOptions& tagOptions) {
    if (!tagOptions.readTags) {
        readChosen(listDb, choice, sizeLimit, showMessage, report, nullptr);
        return;
    }
    std::unique_ptr<TagReader> ownReader = tagOptions.reader ? nullptr : makeTagLibReader();
    std::optional<TagCache> cache;
    if (!tagOptions.cacheFolder.empty()) {
        cache.emplace(tagOptions.cacheFolder);
    }
    TagLookup lookup(tagOptions.reader ? *tagOptions.reader : *ownReader, cache ? &*cache : nullptr);
    TagsRead tags{lookup, tagOptions};
    readChosen(listDb, choice, sizeLimit, showMessage, report, &tags);
    applyTrackTags(listDb, tags.tags, tagOptions, tags.described);
    if (cache) {
        cache->save();
    }
    if (report) {
        report->tags = std::move(tags.tags);
    }
}

} // namespace sources
