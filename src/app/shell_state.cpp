#include "app/shell_state.h"

namespace app {

std::string StripTrailingBackslashes(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

} // namespace app
