// The thread's last failure of a platform call, kept for lastErrorText() and lastError()
// (files.h).
#pragma once

#include "platform/files.h"

#include <string>

namespace platform::detail {

// The sentence for a path that names no mapped drive (an unmapped letter, a network path).
inline constexpr const char* NoDriveText = "The system cannot find the drive specified";

// An errno value: the host's sentence, and the kind it stands for (ENODATA is a source that
// ended before its length, as the transfers report it).
void setLastError(int errorNumber);
// A sentence of this layer's own and its kind; without a kind, NoDriveText counts as NotFound
// and any other text as Other.
void setLastErrorText(std::string text, FileError kind);
void setLastErrorText(std::string text);

} // namespace platform::detail
