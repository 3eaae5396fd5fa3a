// The file a conversion wrote, by host path: flushed to its device before the conversion says
// Ok, removed when it failed or was cancelled.
#pragma once

#include <optional>
#include <string>

namespace convert::detail {

// Writes the file's cached data to its device (fsync); the system's error text on failure.
std::optional<std::string> flushWrittenFile(const std::string& hostPath);

// Removes the file at `hostPath` when there is one (a folder or anything else is left alone).
void removeWrittenFile(const std::string& hostPath);

} // namespace convert::detail
