// Finding names without regard to letter case at the cost of one lookup, not one folder listing.
// The process keeps, per host folder, an index of its names folded by foldNameCase (name_case.h),
// built by one listing and kept current as the program's own calls create, rename and remove
// entries there. Every use first checks the folder's identity and change time (one stat): a
// folder that someone else changed since is listed again, so changes made by other programs are
// seen. Two cases can hide one: a change made in the moment (under a millisecond) between a look
// at the folder and the look after one of our changes, and, on a host whose clock stamps changes only
// once a tick (kernels before multigrain time stamps), a change within the same tick as the
// listing. The exact name is always asked for first, so either can only hide another spelling of
// a name, never a name as it stands, and the next change to the folder brings it to light.
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
