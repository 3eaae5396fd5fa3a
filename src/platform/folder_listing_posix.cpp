// Folder listing on a POSIX host: readdir over the folder's descriptor, stat of every entry
// that the filter may keep (links followed), then one sort by the case-folded name.
#include "platform/folder_listing.h"

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/host_location.h"
#include "platform/host_names.h"
#include "platform/last_error.h"
#include "platform/name_case.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

FolderIdentity identityOf(const struct stat& info) {
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

// The directory's type, when readdir tells it, rules out entries before any stat.
bool mayKeep(const dirent& entry, const ListingFilter& filter) {
    std::string_view name = entry.d_name;
    if (name == "." || name == ".." || (!filter.hidden && name.starts_with('.'))) {
        return false;
    }
    return !(entry.d_type == DT_DIR && !filter.folders) && !(entry.d_type == DT_REG && !filter.files);
}

std::optional<FolderEntry> describe(int folderFd, const dirent& found, const ListingFilter& filter) {
    const char* name = found.d_name;
    std::string programName = programNameOfHostName(name);
    auto nameKept = [&] { return !filter.fileName || filter.fileName(programName); };
    if (found.d_type == DT_REG && !nameKept()) {
        return std::nullopt;
    }
    struct stat info;
    if (::fstatat(folderFd, name, &info, 0) != 0) {
        return std::nullopt;
    }
    bool isFolder = S_ISDIR(info.st_mode);
    if (isFolder ? !filter.folders : !(S_ISREG(info.st_mode) && filter.files && nameKept())) {
        return std::nullopt;
    }
    FolderEntry entry;
    entry.name = std::move(programName);
    entry.isFolder = isFolder;
    entry.hidden = name[0] == '.';
    entry.size = isFolder ? 0 : static_cast<int64_t>(info.st_size);
    entry.modifiedTime = int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
    entry.identity = identityOf(info);
    return entry;
}

void sortByFoldedName(std::vector<FolderEntry>& entries) {
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const auto& entry : entries) {
        keys.push_back(foldNameCase(entry.name));
    }
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : entries[a].name < entries[b].name;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (size_t index : order) {
        sorted.push_back(std::move(entries[index]));
    }
    entries = std::move(sorted);
}

} // namespace

bool listFolder(std::string_view folder, const ListingFilter& filter, FolderListing& listing) {
    listing = {};
    auto host = toHostPath(folder);
    if (!host) {
        return false;
    }
    int fd = ::open(host->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        detail::setLastError(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> stream(::fdopendir(fd), ::closedir);
    if (!stream) {
        detail::setLastError(errno);
        ::close(fd);
        return false;
    }
    detail::countFolderListing();
    listing.identity = identityOf(info);
    errno = 0;
    while (const dirent* entry = ::readdir(stream.get())) {
        if (mayKeep(*entry, filter)) {
            if (auto described = describe(fd, *entry, filter)) {
                listing.entries.push_back(std::move(*described));
            }
        }
        errno = 0;
    }
    if (errno != 0) {
        detail::setLastError(errno);
        listing = {};
        return false;
    }
    sortByFoldedName(listing.entries);
    return true;
}

} // namespace platform
