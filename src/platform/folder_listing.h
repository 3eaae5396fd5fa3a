// Listing one folder of the program's namespace (drives.h), the way the folder source walks
// a tree: every entry at once, in one fixed order on every machine.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Which folder an entry is on the host, whatever name or link led to it: a walker keeps the
// identities of the folders it has entered and does not enter one of them again.
struct FolderIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    auto operator<=>(const FolderIdentity&) const = default;
};

struct FolderEntry {
    std::string name;         // the program name of the host's name (host_names.h), never "." or ".."
    bool isFolder = false;    // else a regular file
    bool hidden = false;      // the name begins with "."
    int64_t size = 0;         // bytes, the real 64-bit length; 0 for a folder
    int64_t modifiedTime = 0; // ns since 1970-01-01 UTC
    FolderIdentity identity;  // of the file or folder the entry names (links followed)
};

// Which entries a listing keeps. Hidden entries go only when `hidden` is false; files and
// folders each only when asked for; files also only when `fileName` (when set) keeps their
// program name. A file that the name rules out costs no stat where the folder tells its type.
struct ListingFilter {
    bool files = true;
    bool folders = true;
    bool hidden = true;
    std::function<bool(std::string_view name)> fileName = {};
};

struct FolderListing {
    FolderIdentity identity; // of the listed folder itself
    std::vector<FolderEntry> entries;
};

// Lists `folder` (a program path; a drive root too) into `listing`, sorted by name without
// regard to case (the order of foldNameCase, name_case.h; names equal but for case in
// byte order). Symbolic links are followed: a link to a folder is a folder, a broken link
// and anything that is neither a regular file nor a folder (pipes, devices) is left out, as is
// an entry that vanishes while the listing runs. False (lastErrorText() set, `listing`
// emptied) when the folder does not exist, is not a folder or cannot be read.
bool listFolder(std::string_view folder, const ListingFilter& filter, FolderListing& listing);

} // namespace platform
