// The host side of the namespace on a POSIX file system: letter-case lookup of names, the
// process's current folder and canonical folder names.
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/name_case.h"
#include "platform/path_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {
namespace {

bool hostEntryExists(const std::string& hostPath) {
    struct stat info;
    return ::lstat(hostPath.c_str(), &info) == 0;
}

// The name in `hostFolder` equal to `name` without regard to case; of several, the lowest in
// byte order, so that the choice does not depend on the order the host lists them in.
std::optional<std::string> findNameNoCase(const std::string& hostFolder, std::string_view name) {
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(hostFolder.c_str()), ::closedir);
    if (!folder) {
        return std::nullopt;
    }
    std::string key = foldNameCase(name);
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(folder.get())) {
        std::string_view candidate = entry->d_name;
        if (candidate.size() == name.size() && foldNameCase(candidate) == key &&
            (!found || candidate < *found)) {
            found = std::string(candidate);
        }
    }
    return found;
}

} // namespace

void resolveNameCase(HostLocation& location) {
    if (location.names.empty() || hostEntryExists(joinHostPath(location.root, location.names))) {
        return;
    }
    std::string current = location.root;
    for (auto& name : location.names) {
        std::string exact = joinHostPath(current, name);
        if (hostEntryExists(exact)) {
            current = std::move(exact);
            continue;
        }
        auto found = findNameNoCase(current, name);
        if (!found) {
            return; // nothing below can exist: the rest stays as given
        }
        name = std::move(*found);
        current = joinHostPath(current, name);
    }
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
