#include "plan/history.h"

#include "platform/name_case.h"

#include <algorithm>

namespace plan {

bool rememberInHistory(std::vector<std::string>& items, std::string_view text) {
    const std::string key = platform::foldNameCase(text);
    const auto sameText = [&](const std::string& item) { return platform::foldNameCase(item) == key; };
    if (std::any_of(items.begin(), items.end(), sameText)) {
        return false;
    }
    items.insert(items.begin(), std::string(text));
    return true;
}

} // namespace plan
