// Host-level pieces shared by the file services of this folder: whole transfers over a
// descriptor, the open with all sharing denied, and the temporary file beside a target. Not a
// module boundary: host paths, raw descriptors and errno.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace platform::detail {

// Repeat read(2) / write(2) until `count` bytes have moved, the file ends (read answers 0),
// the disk takes nothing more (write answers 0) or an error comes. They answer the bytes moved,
// or -1 when an error came before the first byte; `error` receives that error's errno, 0 when
// none came. Interrupted calls are repeated.
int64_t readFully(int fd, void* buffer, int64_t count, int& error);
int64_t writeFully(int fd, const void* buffer, int64_t count, int& error);

// Owns one descriptor; closes it (ignoring the answer, keeping errno) unless released.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1);

private:
    int m_fd;
};

// Opens a regular file with all sharing denied: an exclusive non-blocking flock, which belongs
// to the open file description. `flags` gives the access mode and may add O_CREAT (mode 0666
// less the umask); O_CLOEXEC and O_NOCTTY are added, and O_NONBLOCK for the open alone, so that
// a FIFO or device cannot hold the open up before the regular-file check refuses it. Fills
// `info`. On failure -1 with errno: EWOULDBLOCK when another open holds the file, EISDIR for a
// folder, EINVAL for anything else that is not a regular file. `info.st_mode` is 0 when the
// failure came before the file could be examined.
int openLockedHost(const std::string& hostPath, int flags, struct stat& info);

// Records errno for lastErrorText() (another open holding the file gets the sharing-violation
// sentence) and answers false.
bool failWithErrno();

// Creates a new file in `folder` with O_EXCL under a name that no other writer uses,
// ".<name>.tw-partial-XXXXXX", hidden; `name` is shortened at a character boundary of its UTF-8
// so that a name near the length limit still has one. Opened O_RDWR | O_CLOEXEC with mode 0666,
// so the umask applies as it would to the file itself, and locked with an exclusive flock for
// as long as a descriptor of this open stays open: a file of that pattern that nobody holds is
// one that a killed writer left (removeAbandonedPartialFiles, transfer.h). The descriptor and
// the path in `tempPath`, or -1 with errno (EEXIST after too many names were taken). `volume`
// (may be null) gets the volume (st_dev) of the new file.
int createTempBeside(const std::string& folder, std::string_view name, std::string& tempPath,
                     uint64_t* volume = nullptr);

// True for a name that createTempBeside makes: ".<name>.tw-partial-" and six letters or digits.
bool isPartialFileName(std::string_view name);

// Closes `fd`, reporting an error that surfaces only at close, while a duplicate keeps the
// temporary file's lock until `keeper` goes; true when the close succeeded.
bool closeKeepingLock(int fd, UniqueFd& keeper);

// fdatasync(2) of `fd`, repeated when interrupted, counted with the flushes of volume_flush.h;
// false with errno.
bool flushData(int fd);

} // namespace platform::detail
