// Program paths located on the host: the drive's host folder and the names below it, each name
// spelt as the host spells it where one exists that differs only in letter case. Shared by the
// file services of this folder; not a module boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

struct HostLocation {
    char drive = 0;   // 'A'..'Z', 0 for a file:// address
    std::string root; // the drive's host folder, "/" for a file:// address
    std::vector<std::string> names;
};

// nullopt (lastErrorText set) when the path names no mapped drive.
std::optional<HostLocation> locateProgramPath(std::string_view programPath);

// Host side, in host_namespace_posix.cpp.
// Respells the names of `location` after the host where the exact path does not exist: every
// missing name is looked up without regard to case in its parent folder; names below the first
// one that matches nothing stay as given.
void resolveNameCase(HostLocation& location);
std::string hostCurrentFolder(); // "" when the process has none (its folder was removed)
bool changeHostFolder(const std::string& hostFolder);
// An absolute, canonical form of a host folder (symbolic links resolved where it exists).
std::string canonicalHostFolder(std::string_view hostFolder);

} // namespace platform::detail
