// The thread's last failure of a platform call, kept for lastErrorText() (files.h).
#pragma once

#include <string>

namespace platform::detail {

// The sentence for a path that names no mapped drive (an unmapped letter, a network path).
inline constexpr const char* NoDriveText = "The system cannot find the drive specified";

void setLastError(int errorNumber); // an errno value
void setLastErrorText(std::string text);

} // namespace platform::detail
