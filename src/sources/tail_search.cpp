#include "sources/tail_search.h"

#include "platform/drives.h"
#include "platform/files.h"

#include <algorithm>
#include <vector>

namespace sources {
namespace {

// The names of a full program path below its drive ("D:\a\b" gives a, b).
std::vector<std::string> namesBelowDrive(std::string_view fullPath) {
    std::vector<std::string> names;
    size_t start = fullPath.find('\\');
    while (start != std::string_view::npos && start + 1 < fullPath.size()) {
        const size_t end = fullPath.find('\\', start + 1);
        names.emplace_back(fullPath.substr(start + 1, end - start - 1));
        start = end;
    }
    return names;
}

std::string joined(std::string folder, const std::vector<std::string>& names, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        if (!folder.ends_with('\\')) {
            folder += '\\';
        }
        folder += names[i];
    }
    return folder;
}

} // namespace

TailSearch::TailSearch(std::string_view playlistFolder)
    : m_folder(platform::fullProgramPath(playlistFolder.empty() ? std::string_view(".") : playlistFolder)
                   .value_or(std::string())) {}

bool TailSearch::folderExists(const std::string& path) {
    auto [slot, added] = m_folders.emplace(path, false);
    if (added) {
        slot->second = platform::folderExists(path);
    }
    return slot->second;
}

std::optional<std::string> TailSearch::find(std::string_view missing) {
    const std::optional<std::string> full = platform::fullProgramPath(missing);
    if (!full || m_folder.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> names = namesBelowDrive(*full);
    std::vector<std::string> folders{m_folder};
    std::vector<std::string> above = namesBelowDrive(m_folder);
    const std::string drive = m_folder.substr(0, 3);
    for (int level = 0; level < TailSearchParentLevels && !above.empty(); ++level) {
        above.pop_back();
        folders.push_back(joined(drive, above, 0, above.size()));
    }
    const size_t longest = std::min(names.size(), static_cast<size_t>(TailSearchMaxNames));
    for (size_t count = longest; count >= 1; --count) {
        const size_t first = names.size() - count;
        for (size_t f = 0; f < folders.size() && (f == 0 || count >= TailSearchNamesAbove); ++f) {
            if (count > 1 && !folderExists(joined(folders[f], names, first, first + 1))) {
                continue;
            }
            std::string candidate = joined(folders[f], names, first, names.size());
            if (candidate != *full && platform::fileExists(candidate)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

} // namespace sources
