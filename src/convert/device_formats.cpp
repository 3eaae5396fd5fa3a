#include "convert/device_formats.h"

#include <algorithm>

namespace convert {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string normalExtension(std::string_view extension) {
    if (extension.starts_with('.')) {
        extension.remove_prefix(1);
    }
    std::string out;
    out.reserve(extension.size());
    for (char c : extension) {
        out += lowerAscii(c);
    }
    return out;
}

bool isSeparator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

std::vector<std::string> playedExtensions(DeviceProfile profile) {
    switch (profile) {
    case DeviceProfile::CarStereo:
        return {"mp3"};
    case DeviceProfile::Phone:
        return {"mp3", "m4a", "aac", "ogg", "opus", "flac"};
    }
    return {};
}

bool playedByDevice(std::string_view extension, const std::vector<std::string>& playedExtensions) {
    const std::string wanted = normalExtension(extension);
    if (wanted.empty()) {
        return false;
    }
    return std::any_of(playedExtensions.begin(), playedExtensions.end(),
                       [&](const std::string& played) { return normalExtension(played) == wanted; });
}

std::optional<std::vector<std::string>> parseExtensionList(std::string_view text) {
    std::vector<std::string> list;
    size_t pos = 0;
    while (pos < text.size()) {
        if (isSeparator(text[pos])) {
            ++pos;
            continue;
        }
        size_t end = pos;
        while (end < text.size() && !isSeparator(text[end])) {
            ++end;
        }
        const std::string entry = normalExtension(text.substr(pos, end - pos));
        if (entry.empty() || !std::all_of(entry.begin(), entry.end(), isLetterOrDigit)) {
            return std::nullopt;
        }
        if (std::find(list.begin(), list.end(), entry) == list.end()) {
            list.push_back(entry);
        }
        pos = end;
    }
    return list;
}

} // namespace convert
