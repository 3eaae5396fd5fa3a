// Program paths located on the host: the drive's host folder and the names below it, each name
// spelt as the host spells it where one exists that differs only in letter case. Shared by the
// file services of this folder; not a module boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::detail {

struct HostLocation {
    char drive = 0;   // 'A'..'Z', 0 for a file:// address
    std::string root; // the drive's host folder, "/" for a file:// address
    std::vector<std::string> names;
    // What resolveNameCase saw at the whole path, so that a caller need not ask again: `missing`
    // when nothing stands there, else the st_mode of lstat (0 when it was not looked at).
    bool missing = false;
    uint32_t mode = 0;
};

// nullopt (lastErrorText set) when the path names no mapped drive. With `respell` false the
// names stay as written and nothing is asked of the host (`mode` 0, `missing` false): for a
// caller that tries the path as written first and respells it only when that misses.
std::optional<HostLocation> locateProgramPath(std::string_view programPath, bool respell = true);

// Host side, in host_namespace_posix.cpp.
// Respells the names of `location` after the host where the exact path does not exist: every
// missing name is looked up without regard to case in its parent folder (name_index.h); names
// below the first one that matches nothing stay as given. Fills `missing` and `mode`.
void resolveNameCase(HostLocation& location);

// In name_index_posix.cpp.
// The name in `hostFolder` equal to `name` without regard to case; of several, the lowest in
// byte order, so that the choice does not depend on the order the host lists them in. nullopt
// when there is none or the folder cannot be listed; `folderListed` (may be null) tells which.
std::optional<std::string> findNameNoCase(const std::string& hostFolder, std::string_view name,
                                          bool* folderListed = nullptr);

// One change that this process makes to the entries of a host folder, keeping the folder's name
// index (if it has one) current instead of letting the change make it list the folder again.
// Made just before the change: an index that the folder no longer matches (another program
// changed it) is dropped then. done() records the change and the folder's new change time; an
// object that goes without done() (the change failed or its outcome is unknown) drops the index.
class OwnFolderChange {
public:
    explicit OwnFolderChange(std::string hostFolder);
    OwnFolderChange(const OwnFolderChange&) = delete;
    OwnFolderChange& operator=(const OwnFolderChange&) = delete;
    ~OwnFolderChange();
    // `added` and `removed` are names in the folder; either may be empty.
    void done(std::string_view added, std::string_view removed, bool addedIsFolder = false);
    // The change was refused before it touched the folder (the name was taken, say).
    void nothingChanged() { m_indexed = false; }

private:
    std::string m_folder;
    bool m_indexed = false;
};
// The folder part and the name part of a host path ("/a/b" -> "/a", "b"; "/b" -> "/", "b").
std::pair<std::string, std::string> splitHostFolder(std::string_view hostPath);
void countFolderListing();
std::string hostCurrentFolder(); // "" when the process has none (its folder was removed)
bool changeHostFolder(const std::string& hostFolder);
// An absolute, canonical form of a host folder (symbolic links resolved where it exists).
std::string canonicalHostFolder(std::string_view hostFolder);

} // namespace platform::detail
