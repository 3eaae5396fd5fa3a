#include "platform/shown_paths.h"

#include "platform/drives.h"
#include "platform/host_names.h"
#include "platform/path_text.h"

#include <optional>
#include <vector>

namespace platform {

std::string shownPath(std::string_view programPath) {
    auto parts = detail::splitProgramPath(programPath, [] { return currentFolder(); });
    if (!parts) {
        return std::string(programPath);
    }
    std::optional<std::string> root = "/";
    if (parts->drive != 0) {
        root = driveHostFolder(parts->drive);
    }
    if (!root) {
        return std::string(programPath);
    }
    std::vector<std::string> names;
    names.reserve(parts->names.size());
    for (const auto& name : parts->names) {
        names.push_back(hostNameOfProgramName(name));
    }
    return detail::joinHostPath(*root, names);
}

std::string programPathOfShown(std::string_view text) {
    if (text.starts_with('/') && !text.starts_with("//")) {
        std::string path = toProgramPath(text);
        if (!path.empty()) {
            return path;
        }
    }
    return std::string(text);
}

} // namespace platform
