#include "plan/run_names.h"

#include "platform/host_names.h"
#include "platform/name_case.h"

#include <unordered_map>
#include <unordered_set>

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

std::vector<RunNameChange> runNameChanges(const std::vector<std::string>& written) {
    std::vector<std::string> folded(written.size());
    std::unordered_map<std::string_view, size_t> firstOf; // folded name -> its first entry
    firstOf.reserve(written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        if (!written[i].empty()) {
            folded[i] = platform::foldNameCase(written[i]);
            firstOf.try_emplace(folded[i], i);
        }
    }
    // The first entry of each name keeps it; a later one takes a number that no entry plans as
    // its own name and no earlier one took.
    std::unordered_set<std::string> numbered;
    std::vector<RunNameChange> changes;
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i].empty()) {
            continue;
        }
        const size_t first = firstOf.at(folded[i]);
        if (first == i) {
            continue;
        }
        for (int number = 1;; ++number) {
            std::string name = numberedName(written[i], number);
            std::string foldedName = platform::foldNameCase(name);
            if (firstOf.count(foldedName) == 0 && numbered.insert(std::move(foldedName)).second) {
                changes.push_back({i, std::move(name), first});
                break;
            }
        }
    }
    return changes;
}

std::vector<std::string> distinctRunNames(std::vector<std::string> written) {
    for (RunNameChange& change : runNameChanges(written)) {
        written[change.index] = std::move(change.name);
    }
    return written;
}

} // namespace plan
