// The index of folded names per host folder (name_index.h) on a POSIX host: one readdir pass
// builds it, a stat of the folder (device, inode, change and modification times) checks it.
#include "platform/name_index.h"

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/host_location.h"
#include "platform/host_names.h"
#include "platform/name_case.h"
#include "platform/path_text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

namespace platform {
namespace detail {
namespace {

// More folders than a run writes into at once; past it the indexes start again from none, so a
// walk over a big tree does not keep every folder's names for the life of the process.
constexpr size_t MaxIndexedFolders = 256;

enum class EntryKind : unsigned char { File, Folder, Unknown }; // Unknown: a link, or not told

struct HostName {
    std::string name;
    EntryKind kind;
};

struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec changed {};
    struct timespec modified {};
    bool operator==(const FolderStamp& other) const {
        return device == other.device && inode == other.inode && changed.tv_sec == other.changed.tv_sec &&
               changed.tv_nsec == other.changed.tv_nsec && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FolderStamp stampOf(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_ctim, info.st_mtim};
}

std::optional<FolderStamp> currentStamp(const std::string& hostFolder) {
    struct stat info;
    if (::stat(hostFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return stampOf(info);
}

using Clock = std::chrono::steady_clock;

// How long a stamp just seen at the folder is taken as it stands without asking the host again.
// A change that another program makes within that moment is the blind spot that a clock tick of
// several milliseconds already leaves on kernels that stamp changes once a tick, and like it can
// only hide another spelling of a name (name_index.h). It spares the stat before each of the
// changes that follow a lookup at once: the temporary file of a small copy and its rename.
constexpr auto FreshStamp = std::chrono::milliseconds(1);

struct FolderIndex {
    FolderStamp stamp;
    Clock::time_point stampSeen; // when `stamp` was last found to be the folder's
    // Folded name -> every name of the folder that folds to it (almost always one).
    std::unordered_map<std::string, std::vector<HostName>> names;

    void add(std::string_view name, EntryKind kind) {
        auto& spellings = names[foldNameCase(name)];
        auto same = std::find_if(spellings.begin(), spellings.end(),
                                 [&](const HostName& h) { return h.name == name; });
        if (same != spellings.end()) {
            same->kind = kind;
        } else {
            spellings.push_back({std::string(name), kind});
        }
    }
    void remove(std::string_view name) {
        auto found = names.find(foldNameCase(name));
        if (found == names.end()) {
            return;
        }
        std::erase_if(found->second, [&](const HostName& h) { return h.name == name; });
        if (found->second.empty()) {
            names.erase(found);
        }
    }
    const std::vector<HostName>* spellingsOf(std::string_view name) const {
        auto found = names.find(foldNameCase(name));
        return found == names.end() ? nullptr : &found->second;
    }
};

EntryKind kindOf(unsigned char type) {
    return type == DT_REG ? EntryKind::File : type == DT_DIR ? EntryKind::Folder : EntryKind::Unknown;
}

std::atomic<uint64_t> listingCount{0};

// The stamp is taken from the open folder before the first entry is read, so a change made
// while the listing runs leaves the index older than the folder, and the next use lists again.
std::unique_ptr<FolderIndex> buildIndex(const std::string& hostFolder) {
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(hostFolder.c_str()), ::closedir);
    struct stat info;
    if (!folder || ::fstat(::dirfd(folder.get()), &info) != 0) {
        return nullptr;
    }
    countFolderListing();
    auto index = std::make_unique<FolderIndex>();
    index->stamp = stampOf(info);
    index->stampSeen = Clock::now();
    while (const dirent* entry = ::readdir(folder.get())) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            index->add(name, kindOf(entry->d_type));
        }
    }
    return index;
}

class NameIndexes {
public:
    std::mutex mutex;

    // The index of `hostFolder` as the folder stands now, built when it has none or the folder
    // changed; null when the folder cannot be listed. The mutex must be held.
    FolderIndex* current(const std::string& hostFolder) {
        auto stamp = currentStamp(hostFolder);
        if (!stamp) {
            m_indexes.erase(hostFolder);
            return nullptr;
        }
        auto found = m_indexes.find(hostFolder);
        if (found != m_indexes.end() && found->second->stamp == *stamp) {
            found->second->stampSeen = Clock::now();
            return found->second.get();
        }
        return rebuild(hostFolder);
    }
    FolderIndex* rebuild(const std::string& hostFolder) {
        m_indexes.erase(hostFolder);
        auto index = buildIndex(hostFolder);
        if (!index) {
            return nullptr;
        }
        if (m_indexes.size() >= MaxIndexedFolders) {
            m_indexes.clear();
        }
        return m_indexes.emplace(hostFolder, std::move(index)).first->second.get();
    }
    FolderIndex* existing(const std::string& hostFolder) {
        auto found = m_indexes.find(hostFolder);
        return found == m_indexes.end() ? nullptr : found->second.get();
    }
    void forget(const std::string& hostFolder) { m_indexes.erase(hostFolder); }

private:
    std::unordered_map<std::string, std::unique_ptr<FolderIndex>> m_indexes;
};

NameIndexes& nameIndexes() {
    static NameIndexes indexes;
    return indexes;
}

std::optional<std::string> lowestSpelling(const FolderIndex& index, std::string_view name) {
    const auto* spellings = index.spellingsOf(name);
    if (spellings == nullptr) {
        return std::nullopt;
    }
    auto lowest = std::min_element(spellings->begin(), spellings->end(),
                                   [](const HostName& a, const HostName& b) { return a.name < b.name; });
    return lowest->name;
}

// Whether `name` names a file in the folder of `index`: the index answers unless the entry is a
// link or of a kind the listing did not tell.
bool namesFile(const std::string& hostFolder, const FolderIndex& index, std::string_view name) {
    const auto* spellings = index.spellingsOf(name);
    if (spellings == nullptr) {
        return false;
    }
    for (const auto& spelling : *spellings) {
        struct stat info;
        if (spelling.kind == EntryKind::File ||
            (spelling.kind == EntryKind::Unknown &&
             ::stat(joinHostPath(hostFolder, spelling.name).c_str(), &info) == 0 && S_ISREG(info.st_mode))) {
            return true;
        }
    }
    return false;
}

} // namespace

void countFolderListing() {
    listingCount.fetch_add(1, std::memory_order_relaxed);
}

std::pair<std::string, std::string> splitHostFolder(std::string_view hostPath) {
    size_t slash = hostPath.rfind('/');
    if (slash == std::string_view::npos) {
        return {".", std::string(hostPath)};
    }
    return {slash == 0 ? "/" : std::string(hostPath.substr(0, slash)),
            std::string(hostPath.substr(slash + 1))};
}

std::optional<std::string> findNameNoCase(const std::string& hostFolder, std::string_view name,
                                          bool* folderListed) {
    auto& indexes = nameIndexes();
    std::lock_guard lock(indexes.mutex);
    FolderIndex* index = indexes.current(hostFolder);
    if (folderListed != nullptr) {
        *folderListed = index != nullptr;
    }
    return index ? lowestSpelling(*index, name) : std::nullopt;
}

OwnFolderChange::OwnFolderChange(std::string hostFolder) : m_folder(std::move(hostFolder)) {
    auto& indexes = nameIndexes();
    std::lock_guard lock(indexes.mutex);
    FolderIndex* index = indexes.existing(m_folder);
    if (index == nullptr) {
        return;
    }
    if (Clock::now() - index->stampSeen < FreshStamp) {
        m_indexed = true;
        return;
    }
    auto stamp = currentStamp(m_folder);
    if (stamp && *stamp == index->stamp) {
        m_indexed = true;
    } else {
        indexes.forget(m_folder);
    }
}

OwnFolderChange::~OwnFolderChange() {
    if (m_indexed) {
        auto& indexes = nameIndexes();
        std::lock_guard lock(indexes.mutex);
        indexes.forget(m_folder);
    }
}

void OwnFolderChange::done(std::string_view added, std::string_view removed, bool addedIsFolder) {
    if (!m_indexed) {
        return;
    }
    m_indexed = false;
    auto& indexes = nameIndexes();
    std::lock_guard lock(indexes.mutex);
    FolderIndex* index = indexes.existing(m_folder);
    auto stamp = currentStamp(m_folder);
    if (index == nullptr || !stamp) {
        indexes.forget(m_folder);
        return;
    }
    if (!removed.empty()) {
        index->remove(removed);
    }
    if (!added.empty()) {
        index->add(added, addedIsFolder ? EntryKind::Folder : EntryKind::File);
    }
    index->stamp = *stamp;
    index->stampSeen = Clock::now();
}

} // namespace detail

uint64_t folderListingCount() {
    return detail::listingCount.load(std::memory_order_relaxed);
}

std::string firstFreeNumberedPath(std::string_view base, std::string_view ext) {
    auto candidate = [&](int64_t n) {
        return std::string(base) + " (" + std::to_string(n) + ")" + std::string(ext);
    };
    size_t cut = base.find_last_of("\\/");
    auto folder =
        cut == std::string_view::npos ? std::nullopt : detail::locateProgramPath(base.substr(0, cut + 1));
    if (folder && !folder->missing) {
        std::string hostFolder = detail::joinHostPath(folder->root, folder->names);
        std::string stem = hostNameOfProgramName(base.substr(cut + 1));
        std::string hostExt = hostNameOfProgramName(ext);
        auto& indexes = detail::nameIndexes();
        std::lock_guard lock(indexes.mutex);
        if (const detail::FolderIndex* index = indexes.current(hostFolder)) {
            for (int64_t n = 1;; ++n) {
                if (!detail::namesFile(hostFolder, *index, stem + " (" + std::to_string(n) + ")" + hostExt)) {
                    return candidate(n);
                }
            }
        }
    }
    // No folder to index (it is missing, or the path is odd): each candidate is tried in turn.
    for (int64_t n = 1;; ++n) {
        if (!fileExists(candidate(n))) {
            return candidate(n);
        }
    }
}

} // namespace platform
