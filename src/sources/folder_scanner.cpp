#include "sources/folder_scanner.h"

#include "sources/source_paths.h"
#include "store/track_list.h"

#include <algorithm>
#include <set>

namespace sources {
namespace {

class FolderWalk {
public:
    FolderWalk(std::string root, const FolderFileStep& step, const FileNameFilter& fileName)
        : m_root(std::move(root)), m_step(step) {
        m_filter.fileName = fileName;
    }

    void walk(const std::string& relativeFolder, const platform::FolderListing& listing) {
        for (const platform::FolderEntry& entry : listing.entries) {
            if (!entry.isFolder) {
                m_step(relativeFolder + "\\" + entry.name, entry);
            }
        }
        for (const platform::FolderEntry& entry : listing.entries) {
            if (entry.isFolder && !entry.hidden && m_entered.insert(entry.identity).second) {
                const std::string subFolder = relativeFolder + "\\" + entry.name;
                platform::FolderListing subListing;
                if (list(subFolder, subListing)) {
                    walk(subFolder, subListing);
                }
            }
        }
    }

    bool list(const std::string& relativeFolder, platform::FolderListing& listing) {
        return platform::listFolder(m_root + relativeFolder + "\\", m_filter, listing);
    }

    void enter(const platform::FolderIdentity& identity) { m_entered.insert(identity); }

private:
    std::string m_root;
    const FolderFileStep& m_step;
    platform::ListingFilter m_filter;
    std::set<platform::FolderIdentity> m_entered;
};

} // namespace

void ScanFolder(std::string_view startFolder, const FolderFileStep& step, const FileNameFilter& fileName) {
    FolderWalk walk(StripTrailingBackslashes(startFolder), step, fileName);
    platform::FolderListing listing;
    if (walk.list("", listing)) {
        walk.enter(listing.identity);
        walk.walk("", listing);
    }
}

std::string ExtensionOf(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find_first_of("\\:", dot) != std::string_view::npos) {
        return {};
    }
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return extension;
}

bool IsAudioFile(std::string_view path) {
    const std::string extension = ExtensionOf(path);
    return std::find(AudioExtensions.begin(), AudioExtensions.end(), extension) != AudioExtensions.end();
}

void AddFolderFile(store::TfdbObject& listDb, std::string_view sourceFolder, const std::string& relativePath,
                   const platform::FolderEntry& entry) {
    if (!IsAudioFile(relativePath)) {
        return;
    }
    store::TrackEntry track;
    track.OrigFileName = CollapseBackslashes(std::string(sourceFolder) + "\\" + relativePath, 3);
    track.Size = entry.size;
    store::appendTrackEntry(listDb, track);
}

} // namespace sources
