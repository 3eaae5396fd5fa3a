// The host side of the namespace on a POSIX file system: letter-case lookup of names, the
// process's current folder and canonical folder names.
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/name_case.h"
#include "platform/path_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {
namespace {

// The st_mode of lstat, or 0 when it fails (errno says why).
uint32_t hostEntryMode(const std::string& hostPath) {
    struct stat info;
    return ::lstat(hostPath.c_str(), &info) == 0 ? static_cast<uint32_t>(info.st_mode) : 0;
}

// Respells `names[from]` and below, each missing name looked up in its parent folder, down from
// the folder `current`. False when a name matches nothing: the rest stays as given.
bool respellFrom(std::string current, std::vector<std::string>& names, size_t from) {
    for (size_t i = from; i < names.size(); ++i) {
        std::string exact = joinHostPath(current, names[i]);
        if (hostEntryMode(exact) != 0) {
            current = std::move(exact);
            continue;
        }
        auto found = findNameNoCase(current, names[i]);
        if (!found) {
            return false;
        }
        names[i] = std::move(*found);
        current = joinHostPath(current, names[i]);
    }
    return true;
}

} // namespace

// The exact path first; on a miss the parent folder's index answers for the last name (one stat
// of the folder, no listing while the index holds), and only when the parent itself is missing
// are the names walked from the root.
void resolveNameCase(HostLocation& location) {
    location.missing = false;
    location.mode = 0;
    if (location.names.empty()) {
        return;
    }
    location.mode = hostEntryMode(joinHostPath(location.root, location.names));
    if (location.mode != 0) {
        return;
    }
    int error = errno;
    auto& names = location.names;
    std::string parent =
        joinHostPath(location.root, std::vector<std::string>(names.begin(), names.end() - 1));
    bool parentListed = false;
    std::optional<std::string> last = findNameNoCase(parent, names.back(), &parentListed);
    bool resolved = false;
    if (last) {
        names.back() = std::move(*last);
        resolved = true;
    } else if (!parentListed && names.size() > 1 && hostEntryMode(parent) == 0) {
        resolved = respellFrom(location.root, names, 0);
    }
    if (resolved) {
        location.mode = hostEntryMode(joinHostPath(location.root, names));
        error = errno;
    }
    // Only a name known to be absent counts as missing; a name too long or a folder that cannot
    // be searched leaves the answer to the call that uses the path.
    location.missing = location.mode == 0 && error == ENOENT;
}

std::string hostCurrentFolder() {
    std::unique_ptr<char, void (*)(void*)> folder(::getcwd(nullptr, 0), std::free);
    return folder ? std::string(folder.get()) : std::string();
}

bool changeHostFolder(const std::string& hostFolder) {
    if (::chdir(hostFolder.c_str()) != 0) {
        setLastError(errno);
        return false;
    }
    return true;
}

std::string canonicalHostFolder(std::string_view hostFolder) {
    std::string absolute = joinHostPath("/", splitHostPath(hostFolder, hostCurrentFolder()));
    std::unique_ptr<char, void (*)(void*)> resolved(::realpath(absolute.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : absolute;
}

} // namespace platform::detail
