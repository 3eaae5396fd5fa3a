#include "sources/folder_scanner.h"

#include "sources/batch_queue.h"
#include "sources/source_paths.h"
#include "store/track_list.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace sources {
namespace {

// The files of one folder, as the walk reached it.
struct FolderFiles {
    std::string relativeFolder;
    std::vector<platform::FolderEntry> files;
};

// Every folder down from the root in pre-order, listed one after another into a queue: a
// folder's own files, then each of its sub-folders down to its deepest level before the next.
class FolderWalk {
public:
    FolderWalk(std::string root, const FileNameFilter& fileName, BatchQueue<FolderFiles>& out)
        : m_root(std::move(root)), m_out(out) {
        m_filter.fileName = fileName;
    }

    // False once the queue's taker gave up.
    bool walk(const std::string& relativeFolder, platform::FolderListing& listing) {
        FolderFiles files{relativeFolder, {}};
        std::vector<platform::FolderEntry> folders;
        for (platform::FolderEntry& entry : listing.entries) {
            (entry.isFolder ? folders : files.files).push_back(std::move(entry));
        }
        if (!files.files.empty() && !m_out.put(std::move(files))) {
            return false;
        }
        for (const platform::FolderEntry& entry : folders) {
            if (!entry.hidden && m_entered.insert(entry.identity).second) {
                const std::string subFolder = relativeFolder + "\\" + entry.name;
                platform::FolderListing subListing;
                if (list(subFolder, subListing) && !walk(subFolder, subListing)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool list(const std::string& relativeFolder, platform::FolderListing& listing) {
        return platform::listFolder(m_root + relativeFolder + "\\", m_filter, listing);
    }

    void enter(const platform::FolderIdentity& identity) { m_entered.insert(identity); }

private:
    std::string m_root;
    platform::ListingFilter m_filter;
    BatchQueue<FolderFiles>& m_out;
    std::set<platform::FolderIdentity> m_entered;
};

// Listings waiting for the caller: enough to keep both threads busy, few enough that a huge
// tree is never held whole.
constexpr size_t ListingsAhead = 16;

} // namespace

// The folders are listed on a thread of their own while this one hands their files to `step`:
// the listing waits on the file system, the step on the list it fills, and on a machine with
// two cores the two overlap. The order is the walk's either way.
void ScanFolder(std::string_view startFolder, const FolderFileStep& step, const FileNameFilter& fileName) {
    BatchQueue<FolderFiles> queue(ListingsAhead);
    std::exception_ptr walkFailure;
    std::thread lister([&] {
        try {
            FolderWalk walk(StripTrailingBackslashes(startFolder), fileName, queue);
            platform::FolderListing listing;
            if (walk.list("", listing)) {
                walk.enter(listing.identity);
                walk.walk("", listing);
            }
        } catch (...) {
            walkFailure = std::current_exception();
        }
        queue.close();
    });
    try {
        while (std::optional<FolderFiles> folder = queue.take()) {
            for (const platform::FolderEntry& entry : folder->files) {
                step(folder->relativeFolder + "\\" + entry.name, entry);
            }
        }
    } catch (...) {
        queue.abandon();
        lister.join();
        throw;
    }
    lister.join();
    if (walkFailure) {
        std::rethrow_exception(walkFailure);
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

std::string FolderFilePath(std::string_view sourceFolder, const std::string& relativePath) {
    return CollapseBackslashes(std::string(sourceFolder) + "\\" + relativePath, 3);
}

bool AddFolderFile(store::TfdbObject& listDb, std::string_view sourceFolder, const std::string& relativePath,
                   const platform::FolderEntry& entry) {
    if (!IsAudioFile(relativePath)) {
        return false;
    }
    store::TrackEntry track;
    track.OrigFileName = FolderFilePath(sourceFolder, relativePath);
    track.Size = entry.size;
    return store::appendTrackEntry(listDb, track) <= 0;
}

} // namespace sources
