#include "sources/source_paths.h"

#include "platform/drives.h"
#include "platform/host_names.h"

#include <algorithm>

namespace sources {

namespace {

// "/" is a separator on this platform too; an address ("file:///...") keeps its form.
std::string withBackslashes(std::string_view path) {
    std::string text(path);
    if (text.find("://") == std::string::npos) {
        std::replace(text.begin(), text.end(), '/', '\\');
    }
    return text;
}

bool startsWithDrive(std::string_view text) {
    return text.size() >= 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

bool startsWithFileScheme(std::string_view text) {
    constexpr std::string_view scheme = "file://";
    return text.size() >= scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), text.begin(),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
}

// The names of a relative line ("\" separators already) each as a program name.
std::string programNamesOf(std::string_view relative) {
    std::string path;
    size_t start = 0;
    for (;;) {
        const size_t end = relative.find('\\', start);
        path += platform::programNameOfHostName(relative.substr(start, end - start));
        if (end == std::string_view::npos) {
            return path;
        }
        path += '\\';
        start = end + 1;
    }
}

} // namespace

std::string CollapseBackslashes(std::string_view path, int start) {
    const size_t keep = std::min(static_cast<size_t>(std::max(start - 1, 0)), path.size());
    std::string result(path.substr(0, keep));
    result.reserve(path.size());
    for (size_t i = keep; i < path.size(); ++i) {
        if (path[i] == '\\' && i > 0 && path[i - 1] == '\\') {
            continue;
        }
        result += path[i];
    }
    return result;
}

std::string StripTrailingBackslashes(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string_view trimControlChars(std::string_view text) {
    auto isControl = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string playlistFolderOf(std::string_view playlistPath) {
    const std::string path = withBackslashes(playlistPath);
    const size_t last = path.find_last_of("\\:");
    if (last == std::string::npos) {
        return {};
    }
    const bool dropSeparator =
        path[last] == '\\' && last > 0 && path[last - 1] != ':' && path[last - 1] != '\\';
    return path.substr(0, dropSeparator ? last : last + 1);
}

std::string resolvePlaylistLine(std::string_view line, std::string_view folder) {
    const std::string_view trimmed = trimControlChars(line);
    if (startsWithFileScheme(trimmed)) {
        return platform::fullProgramPath(trimmed).value_or(std::string(trimmed));
    }
    if (trimmed.starts_with('/') && !trimmed.starts_with("//")) {
        const std::string path = platform::toProgramPath(trimmed);
        return path.empty() ? withBackslashes(trimmed) : path;
    }
    const std::string text = withBackslashes(trimmed);
    if (startsWithDrive(text) || text.starts_with('\\') || text.find("://") != std::string::npos) {
        return text;
    }
    const bool currentFolder = folder.empty() || folder.back() == ':';
    std::string joined(folder);
    if (!currentFolder) {
        joined += '\\';
    }
    joined += programNamesOf(text);
    return CollapseBackslashes(joined, 3);
}

} // namespace sources
