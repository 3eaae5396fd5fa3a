// The drive table and the mapping between program paths and host paths. Portable: the host
// is asked only through host_location.h.
#include "platform/drives.h"

#include "platform/host_location.h"
#include "platform/host_names.h"
#include "platform/last_error.h"
#include "platform/path_text.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace platform {
namespace {

using DriveFolders = std::array<std::optional<std::string>, 26>;

DriveFolders defaultDriveFolders() {
    DriveFolders folders;
    folders['Z' - 'A'].emplace(1, '/');
    return folders;
}

struct DriveTable {
    std::mutex mutex;
    DriveFolders folders = defaultDriveFolders();
};

DriveTable& driveTable() {
    static DriveTable table;
    return table;
}

std::optional<size_t> driveSlot(char letter) {
    if (letter >= 'a' && letter <= 'z') {
        return static_cast<size_t>(letter - 'a');
    }
    if (letter >= 'A' && letter <= 'Z') {
        return static_cast<size_t>(letter - 'A');
    }
    return std::nullopt;
}

bool startsWithNames(const std::vector<std::string>& names, const std::vector<std::string>& prefix) {
    return prefix.size() <= names.size() && std::equal(prefix.begin(), prefix.end(), names.begin());
}

std::vector<std::string> hostNamesOf(const std::vector<std::string>& programNames) {
    std::vector<std::string> names;
    names.reserve(programNames.size());
    for (const auto& name : programNames) {
        names.push_back(hostNameOfProgramName(name));
    }
    return names;
}

} // namespace

void mountDrive(char letter, std::string hostFolder) {
    auto slot = driveSlot(letter);
    if (!slot) {
        return;
    }
    std::string canonical = detail::canonicalHostFolder(hostFolder);
    std::lock_guard lock(driveTable().mutex);
    driveTable().folders[*slot] = std::move(canonical);
}

void unmountDrive(char letter) {
    auto slot = driveSlot(letter);
    if (!slot) {
        return;
    }
    std::lock_guard lock(driveTable().mutex);
    driveTable().folders[*slot].reset();
}

void resetDriveTable() {
    std::lock_guard lock(driveTable().mutex);
    driveTable().folders = defaultDriveFolders();
}

std::optional<std::string> driveHostFolder(char letter) {
    auto slot = driveSlot(letter);
    if (!slot) {
        return std::nullopt;
    }
    std::lock_guard lock(driveTable().mutex);
    return driveTable().folders[*slot];
}

std::optional<detail::HostLocation> detail::locateProgramPath(std::string_view programPath, bool respell) {
    auto parts = splitProgramPath(programPath, [] { return currentFolder(); });
    std::optional<std::string> root = "/";
    if (parts && parts->drive != 0) {
        root = driveHostFolder(parts->drive);
    }
    if (!parts || !root) {
        setLastErrorText(NoDriveText);
        return std::nullopt;
    }
    HostLocation location{parts->drive, std::move(*root), hostNamesOf(parts->names)};
    if (respell) {
        resolveNameCase(location);
    }
    return location;
}

std::optional<std::string> toHostPath(std::string_view programPath) {
    auto location = detail::locateProgramPath(programPath);
    if (!location) {
        return std::nullopt;
    }
    return detail::joinHostPath(location->root, location->names);
}

std::optional<std::string> fullProgramPath(std::string_view programPath) {
    auto parts = detail::splitProgramPath(programPath, [] { return currentFolder(); });
    if (!parts) {
        return std::nullopt;
    }
    if (parts->drive == 0) {
        std::string path = toProgramPath(detail::joinHostPath("/", hostNamesOf(parts->names)));
        return path.empty() ? std::nullopt : std::optional<std::string>(path);
    }
    std::string path{parts->drive, ':'};
    for (const auto& name : parts->names) {
        path += '\\';
        path += name;
    }
    if (parts->names.empty()) {
        path += '\\';
    }
    return path;
}

std::string toProgramPath(std::string_view hostPath) {
    std::string cwd = hostPath.starts_with('/') ? std::string() : detail::hostCurrentFolder();
    if (!hostPath.starts_with('/') && cwd.empty()) {
        return {};
    }
    std::vector<std::string> names = detail::splitHostPath(hostPath, cwd);
    char bestLetter = 0;
    size_t bestLength = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        auto folder = driveHostFolder(letter);
        if (!folder) {
            continue;
        }
        std::vector<std::string> prefix = detail::splitHostPath(*folder, "/");
        if (startsWithNames(names, prefix) && (bestLetter == 0 || prefix.size() > bestLength)) {
            bestLetter = letter;
            bestLength = prefix.size();
        }
    }
    if (bestLetter == 0) {
        return {};
    }
    std::string programPath{bestLetter, ':', '\\'};
    for (size_t i = bestLength; i < names.size(); ++i) {
        programPath += programNameOfHostName(names[i]);
        if (i + 1 < names.size()) {
            programPath += '\\';
        }
    }
    return programPath;
}

std::string currentFolder() {
    return toProgramPath(detail::hostCurrentFolder());
}

char currentDrive() {
    std::string folder = currentFolder();
    return folder.empty() ? '\0' : folder[0];
}

bool setCurrentFolder(std::string_view programPath) {
    auto hostFolder = toHostPath(programPath);
    return hostFolder && detail::changeHostFolder(*hostFolder);
}

} // namespace platform
