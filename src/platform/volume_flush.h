// Putting what a run wrote onto the device. The kernel keeps written data in its cache and
// writes it out later; on a stick or a memory card a person pulls the device out once the
// program says "done", so a run onto such a volume flushes before it says so. Paths are program
// paths (drives.h); calls answer false on failure with lastErrorText() (files.h) describing it.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Writes the cached data and metadata of the whole volume that holds `programFolder` (an
// existing folder) to its device (syncfs), and fails when the volume met a write-back error that
// no earlier flush reported. A FUSE volume takes the data as it is written (its driver keeps
// its own cache), so this returns at once there.
bool flushVolume(std::string_view programFolder);

// Writes the cached data of one file to its device (fdatasync): the fallback when the volume
// cannot be flushed as a whole, and the check that the file's data reached the device.
bool flushFile(std::string_view programPath);

// How many flushes (flushVolume and flushFile, failed ones too) this process has asked for:
// lets tests tell that a run flushed, and when.
uint64_t flushRequestCount();

} // namespace platform
