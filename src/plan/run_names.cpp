#include "plan/run_names.h"

#include "platform/host_names.h"
#include "platform/name_case.h"

#include <set>

namespace plan {

namespace {

size_t hostBytes(std::string_view programName) {
    return platform::hostNameOfProgramName(programName).size();
}

// The start of the last UTF-8 character of `text` (not empty).
size_t lastCharacterStart(std::string_view text) {
    size_t at = text.size() - 1;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

} // namespace

std::string numberedName(std::string_view path, int number) {
    const size_t nameStart =
        path.find_last_of("\\/") == std::string_view::npos ? 0 : path.find_last_of("\\/") + 1;
    const std::string_view folder = path.substr(0, nameStart);
    const std::string_view name = path.substr(nameStart);
    const size_t dot = name.rfind('.');
    const std::string_view ext =
        dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot);
    std::string stem(name.substr(0, name.size() - ext.size()));
    const std::string suffix = " (" + std::to_string(number) + ")";
    while (!stem.empty() && hostBytes(stem + suffix + std::string(ext)) > MostNameBytes) {
        stem.erase(lastCharacterStart(stem));
    }
    // A cut may end the stem in a blank or a dot, which Windows rules drop from a name.
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) {
        stem.pop_back();
    }
    return std::string(folder) + stem + suffix + std::string(ext);
}

std::vector<std::string> distinctRunNames(std::vector<std::string> written) {
    std::set<std::string> taken;
    for (const std::string& name : written) {
        if (!name.empty()) {
            taken.insert(platform::foldNameCase(name));
        }
    }
    std::set<std::string> used;
    for (std::string& name : written) {
        if (name.empty()) {
            continue;
        }
        if (used.insert(platform::foldNameCase(name)).second) {
            continue;
        }
        // A number that another entry plans as its own name is not free either.
        for (int number = 1;; ++number) {
            std::string numbered = numberedName(name, number);
            const std::string folded = platform::foldNameCase(numbered);
            if (used.count(folded) == 0 && taken.count(folded) == 0) {
                used.insert(folded);
                name = std::move(numbered);
                break;
            }
        }
    }
    return written;
}

} // namespace plan
