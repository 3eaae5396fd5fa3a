#include "plan/resolved_dest.h"

#include "plan/naming.h"
#include "platform/shown_paths.h"

namespace plan {

ResolvedDest resolveDest(std::string_view typed) {
    ResolvedDest dest;
    dest.typed = std::string(typed);
    dest.programPath = fullDestFolder(platform::programPathOfShown(typed));
    dest.hostPath = platform::shownPath(dest.programPath);
    dest.volume = platform::volumeFactsOf(dest.programPath);
    return dest;
}

} // namespace plan
