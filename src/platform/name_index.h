// Finding names without regard to letter case at the cost of one lookup, not one folder listing.
// The process keeps, per host folder, an index of its names folded by foldNameCase (name_case.h),
// built by one listing and kept current as the program's own calls create, rename and remove
// entries there. Every use first checks the folder's identity and change time (one stat): a
// folder that someone else changed since is listed again, so changes made by other programs are
// seen. A change made by another program within the host clock's tick of one of ours can go
// unseen until the folder changes again; the exact name is always asked for first, so this can
// only hide another spelling of a name, never a name as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// How many folder listings this process has made (the index's and listFolder's together): lets
// tests tell that looking names up does not list a folder per name.
uint64_t folderListingCount();

// The first of "<base> (1)<ext>", "<base> (2)<ext>", ... that names no file: a folder of that
// name does not count. `base` is a program path ("D:\Music\Song"); the candidates are looked up
// in the index of their folder, so trying many of them asks the host once, not once each. Like
// any test of a name, the answer holds only at the moment of the test.
std::string firstFreeNumberedPath(std::string_view base, std::string_view ext);

} // namespace platform
