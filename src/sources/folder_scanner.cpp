#include "sources/folder_scanner.h"

#include "platform/drives.h"
#include "platform/host_names.h"
#include "sources/batch_queue.h"
#include "sources/failure_reason.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace sources {
namespace {

constexpr int PathTooLongText = 225;

// The files of one folder, as the walk reached it; or, with a reason, a place it had to leave
// out (relativeFolder is then the path of that folder or file).
struct FolderFiles {
    std::string relativeFolder;
    std::vector<platform::FolderEntry> files;
    std::string leftOutReason;
};

// The length of the host path of a program name below a folder: its "/" and its host name.
size_t hostLengthBelow(size_t folderLength, const std::string& programName) {
    return folderLength + 1 + platform::hostNameOfProgramName(programName).size();
}

// Every folder down from the root in pre-order, listed one after another into a queue: a
// folder's own files, then each of its sub-folders down to its deepest level before the next.
class FolderWalk {
public:
    FolderWalk(std::string root, const FileNameFilter& fileName, BatchQueue<FolderFiles>& out)
        : m_root(std::move(root)), m_out(out) {
        m_filter.fileName = fileName;
    }

    // False once the queue's taker gave up. `hostLength` is the length of the folder's host path.
    bool walk(const std::string& relativeFolder, size_t hostLength, platform::FolderListing& listing) {
        FolderFiles files{relativeFolder, {}, {}};
        std::vector<platform::FolderEntry> folders;
        for (platform::FolderEntry& entry : listing.entries) {
            if (!entry.isFolder && hostLengthBelow(hostLength, entry.name) >= platform::MaxHostPathBytes) {
                if (!leaveOut(relativeFolder + "\\" + entry.name, texts::GetText(PathTooLongText))) {
                    return false;
                }
                continue;
            }
            (entry.isFolder ? folders : files.files).push_back(std::move(entry));
        }
        if (!files.files.empty() && !m_out.put(std::move(files))) {
            return false;
        }
        for (const platform::FolderEntry& entry : folders) {
            if (!entry.hidden && m_entered.insert(entry.identity).second) {
                const std::string subFolder = relativeFolder + "\\" + entry.name;
                platform::FolderListing subListing;
                if (!list(subFolder, subListing)) {
                    if (!leaveOut(subFolder, listingFailure())) {
                        return false;
                    }
                } else if (!walk(subFolder, hostLengthBelow(hostLength, entry.name), subListing)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool list(const std::string& relativeFolder, platform::FolderListing& listing) {
        return platform::listFolder(m_root + relativeFolder + "\\", m_filter, listing);
    }

    // The reason the last listing failed, in words.
    static std::string listingFailure() {
        const platform::FileError kind = platform::lastError();
        return kind == platform::FileError::NameTooLong ? texts::GetText(PathTooLongText)
                                                        : failureReason(kind);
    }

    bool leaveOut(const std::string& relativePath, std::string reason) {
        return m_out.put({relativePath, {}, std::move(reason)});
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
void ScanFolder(std::string_view startFolder, const FolderFileStep& step, const FileNameFilter& fileName,
                const LeftOutStep& leftOut) {
    BatchQueue<FolderFiles> queue(ListingsAhead);
    std::exception_ptr walkFailure;
    std::thread lister([&] {
        try {
            const std::string root = StripTrailingBackslashes(startFolder);
            FolderWalk walk(root, fileName, queue);
            platform::FolderListing listing;
            if (walk.list("", listing)) {
                walk.enter(listing.identity);
                walk.walk("", platform::toHostPath(root + "\\").value_or(std::string()).size(), listing);
            } else if (leftOut && platform::lastError() != platform::FileError::NotFound) {
                walk.leaveOut("", FolderWalk::listingFailure()); // a missing one gives just nothing
            }
        } catch (...) {
            walkFailure = std::current_exception();
        }
        queue.close();
    });
    try {
        while (std::optional<FolderFiles> folder = queue.take()) {
            if (!folder->leftOutReason.empty()) {
                if (leftOut) {
                    leftOut(folder->relativeFolder, folder->leftOutReason);
                }
                continue;
            }
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

std::string fileExtensionOf(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find_first_of("\\:", dot) != std::string_view::npos) {
        return {};
    }
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return extension;
}

bool isAudioFile(std::string_view path) {
    const std::string extension = fileExtensionOf(path);
    return std::find(AudioExtensions.begin(), AudioExtensions.end(), extension) != AudioExtensions.end();
}

std::string folderFilePath(std::string_view sourceFolder, const std::string& relativePath) {
    return CollapseBackslashes(std::string(sourceFolder) + "\\" + relativePath, 3);
}

bool AddFolderFile(store::TfdbObject& listDb, std::string_view sourceFolder, const std::string& relativePath,
                   const platform::FolderEntry& entry) {
    if (!isAudioFile(relativePath)) {
        return false;
    }
    return store::appendTrackEntry(listDb, folderTrackEntry(sourceFolder, relativePath, entry)) <= 0;
}

store::TrackEntry folderTrackEntry(std::string_view sourceFolder, const std::string& relativePath,
                                   const platform::FolderEntry& entry) {
    store::TrackEntry track;
    track.OrigFileName = folderFilePath(sourceFolder, relativePath);
    track.Size = entry.size;
    return track;
}

} // namespace sources
