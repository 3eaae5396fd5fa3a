// The destination folder resolved once from what was typed: its program path in full, its host
// path and its volume's facts. The preview resolves it when the list is built; the copy run
// takes it as it is and asks the system nothing again.
#pragma once

#include "platform/volume_facts.h"

#include <optional>
#include <string>
#include <string_view>

namespace plan {

struct ResolvedDest {
    std::string typed;                           // as the field or the command line gave it
    std::string programPath;                     // in full (fullDestFolder)
    std::string hostPath;                        // as a person sees it
    std::optional<platform::VolumeFacts> volume; // nullopt when the kernel could not tell
};

ResolvedDest resolveDest(std::string_view typed);

} // namespace plan
