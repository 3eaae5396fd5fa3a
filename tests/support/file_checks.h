// Checks and tools for tests that write files: recognisable contents, everything a test left
// on a drive, and work run in a child process under a file-size limit (a disk that fills up).
#pragma once

#include "support/temp_drive.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// `size` bytes of a pattern that differs from chunk to chunk, so a misplaced chunk shows.
std::string patternBytes(size_t size, unsigned seed = 1);

// Every file and folder below `folder` of the drive (hidden ones too), as sorted relative
// paths with "/" separators; folders end in "/".
std::vector<std::string> filesUnder(const TempDrive& drive, std::string_view folder = {});

// The text with every "$D" made the drive's host folder: tables of expected log lines and
// preview rows, which show host paths, write "$D/out/a.mp3" for the drive's "D:\out\a.mp3".
std::string withHostRoot(std::string text, const TempDrive& drive);
std::vector<std::string> withHostRoot(std::vector<std::string> lines, const TempDrive& drive);

// Runs `work` in a child process whose files may not grow beyond `limitBytes` (writes past it
// fail with EFBIG, SIGXFSZ ignored) and answers the text it returned; nullopt when the child
// did not end normally.
std::optional<std::string> runWithFileSizeLimit(uint64_t limitBytes,
                                                const std::function<std::string()>& work);

// Makes a host folder refuse the removal of its entries, for root too: append-only where the
// file system has that flag, and without write permission. Undone when destroyed.
class RemovalRefused {
public:
    explicit RemovalRefused(std::string hostFolder);
    ~RemovalRefused();
    RemovalRefused(const RemovalRefused&) = delete;
    RemovalRefused& operator=(const RemovalRefused&) = delete;
    // Whether a removal really fails here (root without the append-only flag removes anyway).
    bool effective() const;

private:
    std::string m_folder;
    bool m_appendOnly = false;
};

} // namespace testsupport
