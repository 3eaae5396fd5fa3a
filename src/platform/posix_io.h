// Whole transfers over a POSIX descriptor, shared by the file services of this folder.
#pragma once

#include <cstdint>

namespace platform::detail {

// Repeat read(2) / write(2) until `count` bytes have moved, the file ends (read answers 0),
// the disk takes nothing more (write answers 0) or an error comes. They answer the bytes moved,
// or -1 when an error came before the first byte; `error` receives that error's errno, 0 when
// none came. Interrupted calls are repeated.
int64_t readFully(int fd, void* buffer, int64_t count, int& error);
int64_t writeFully(int fd, const void* buffer, int64_t count, int& error);

} // namespace platform::detail
