#include "platform/path_text.h"

#include "platform/host_names.h"
#include "platform/name_case.h"

#include <algorithm>

namespace platform::detail {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}
bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char upperLetter(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Appends the names of `text` to `names`, resolving "." and ".." (never above the start).
// Program paths split at both separators; host paths only at "/", since "\" is a plain
// character in a host name.
void appendNames(std::string_view text, std::vector<std::string>& names, bool hostStyle) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '/' && (hostStyle || text[end] != '\\')) {
            ++end;
        }
        std::string_view name = text.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
        start = end + 1;
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool startsWithDrive(std::string_view text) {
    return text.size() >= 2 && text[1] == ':';
}

// Appends the names of a file URL's path, each decoded on its own: an escaped "/" or "\" stays
// inside its name and an escaped dot segment is no dot segment, so one name of the URL never
// becomes several or climbs out of its folder. Host names split at "/" only; the program names
// of a "/X:/..." path at "\" too. False when a decoded name cannot be one name (it holds a
// separator or a NUL byte, or it is "." or ".." spelt with escapes): the URL names no file.
bool appendUrlNames(std::string_view path, std::vector<std::string>& names, bool hostStyle) {
    std::vector<std::string> raw;
    appendNames(path, raw, hostStyle);
    for (std::string& name : raw) {
        std::string decoded = percentDecode(name);
        const bool separator =
            decoded.find('/') != std::string::npos || (!hostStyle && decoded.find('\\') != std::string::npos);
        if (separator || decoded.find('\0') != std::string::npos || decoded == "." || decoded == "..") {
            return false;
        }
        names.push_back(hostStyle ? programNameOfHostName(decoded) : std::move(decoded));
    }
    return true;
}

// file://[localhost]/path: the host file of that path, or "/X:/..." a program path on drive X.
std::optional<PathParts> splitFileUrl(std::string_view afterScheme) {
    size_t slash = afterScheme.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view authority = afterScheme.substr(0, slash);
    if (!authority.empty() && !namesEqualNoCase(authority, "localhost")) {
        return std::nullopt; // a file on another machine: a network path
    }
    const std::string_view path = afterScheme.substr(slash);
    const size_t firstEnd = std::min(path.find_first_of("/\\", 1), path.size());
    const std::string first = percentDecode(path.substr(1, firstEnd - 1));
    PathParts parts;
    const bool namesDrive =
        first.size() == 2 && isAsciiLetter(first[0]) && (first[1] == ':' || first[1] == '|');
    if (namesDrive) {
        parts.drive = upperLetter(first[0]);
    }
    // Host names are host names, so "\" and ":" in them are plain characters.
    if (!appendUrlNames(namesDrive ? path.substr(firstEnd) : path, parts.names, !namesDrive)) {
        return std::nullopt;
    }
    return parts;
}

std::optional<PathParts> splitDrivePath(std::string_view text) {
    if (!startsWithDrive(text) || !isAsciiLetter(text[0])) {
        return std::nullopt;
    }
    PathParts parts;
    parts.drive = upperLetter(text[0]);
    appendNames(text.substr(2), parts.names, false);
    return parts;
}

} // namespace

std::optional<PathParts> splitProgramPath(std::string_view path,
                                          const std::function<std::string()>& currentFolder) {
    if (path.empty() || path.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    if (path.size() >= 7 && namesEqualNoCase(path.substr(0, 7), "file://")) {
        return splitFileUrl(path.substr(7));
    }
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        return std::nullopt; // "\\server\share", "\\?\..." and "//host/..."
    }
    bool hasDrive = startsWithDrive(path);
    if (!hasDrive && path.find(':') != std::string_view::npos) {
        return std::nullopt; // "http://..." and the like
    }
    std::string_view rest = hasDrive ? path.substr(2) : path;
    if (!rest.empty() && isSeparator(rest[0])) {
        if (hasDrive) {
            return splitDrivePath(path);
        }
        auto current = splitDrivePath(currentFolder());
        if (current) {
            current->names.clear();
            appendNames(rest, current->names, false);
        }
        return current;
    }
    // Relative: below the current folder, or below the root of a drive other than the current one.
    auto current = splitDrivePath(currentFolder());
    if (hasDrive) {
        auto parts = splitDrivePath(path.substr(0, 2));
        if (parts && current && current->drive == parts->drive) {
            parts->names = std::move(current->names);
        }
        current = std::move(parts);
    }
    if (current) {
        appendNames(rest, current->names, false);
    }
    return current;
}

std::vector<std::string> splitHostPath(std::string_view hostPath, std::string_view hostCurrentFolder) {
    std::vector<std::string> names;
    if (hostPath.empty() || hostPath[0] != '/') {
        appendNames(hostCurrentFolder, names, true);
    }
    appendNames(hostPath, names, true);
    return names;
}

std::string joinHostPath(std::string_view root, std::string_view name) {
    return joinHostPath(root, std::vector<std::string>{std::string(name)});
}

std::string joinHostPath(std::string_view root, const std::vector<std::string>& names) {
    std::string path(root);
    for (const auto& name : names) {
        if (path.empty() || path.back() != '/') {
            path += '/';
        }
        path += name;
    }
    return path;
}

std::string percentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace platform::detail
