// Reading a copy back from its device to prove it holds what its source holds. A copy can be
// damaged where the program does not see it (a failing memory card, a driver that drops or
// shuffles blocks, a cable pulled during write-back), and the kernel would serve the copy's
// pages from its cache, so the copy is first written to the device and dropped from the cache,
// then read and compared. Paths are program paths (drives.h).
#pragma once

#include <string_view>

namespace platform {

enum class ReadBackResult {
    Same,    // same length, same bytes
    Differs, // the copy is longer, shorter or has other bytes than the source
    Failed,  // either file could not be opened, flushed or read: lastErrorText() says why
};

// Flushes `copy` to its device (fdatasync), asks the kernel to drop its cached pages
// (posix_fadvise DONTNEED: a hint that the kernel may ignore on volumes without a page cache of
// their own), then reads it and `source` (through the cache as any read) and compares them.
ReadBackResult readBackAndCompare(std::string_view source, std::string_view copy);

} // namespace platform
