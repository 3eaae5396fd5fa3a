// Process-wide settings that both front ends make at start, before any file is written.
#pragma once

namespace platform {

// A write past the process's file-size limit ends the process by default (SIGXFSZ); after this
// call it fails with EFBIG, so a copy reports it like a full disk and the run goes on.
void treatFileSizeLimitAsFullDisk();

} // namespace platform
