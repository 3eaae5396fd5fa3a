#include "plan/path_rules.h"

#include "platform/host_names.h"

#include <vector>

namespace plan {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDotPart(std::string_view part) {
    return part == "." || part == "..";
}

// A path cut the way the invalid-name rules see it: the drive text before the first ":"
// (only when the path holds ":\" anywhere), the parts between backslashes after the first
// backslash, and the file name after the last one.
struct CutPath {
    bool hasDrive = false;
    std::string_view drive;
    std::vector<std::string_view> folders;
    std::string_view file;
};

CutPath cutPath(std::string_view path, PathForm form) {
    CutPath cut;
    if (form == PathForm::Whole && path.find(":\\") != std::string_view::npos) {
        cut.hasDrive = true;
        cut.drive = path.substr(0, path.find(':'));
        path.remove_prefix(path.find('\\') + 1);
    }
    for (auto slash = path.find('\\'); slash != std::string_view::npos; slash = path.find('\\')) {
        cut.folders.push_back(path.substr(0, slash));
        path.remove_prefix(slash + 1);
    }
    cut.file = path;
    return cut;
}

// The parts of a name between the stand-ins of its host colons. A colon in a host name is a
// plain character of that name (only a description's own ":" could be taken for a drive), so
// the rules leave it alone; a stand-in that the escape mark makes literal is no colon.
std::vector<std::string_view> piecesBetweenHostColons(std::string_view part) {
    static const std::string colon = platform::programNameOfHostName(":");
    static const std::string escape =
        platform::programNameOfHostName(platform::programNameOfHostName(":")).substr(0, 3);
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t at = part.find(colon); at != std::string_view::npos;
         at = part.find(colon, at + colon.size())) {
        const bool escaped =
            at >= start + escape.size() && part.substr(at - escape.size(), escape.size()) == escape;
        if (!escaped) {
            pieces.push_back(part.substr(start, at - start));
            start = at + colon.size();
        }
    }
    pieces.push_back(part.substr(start));
    return pieces;
}

// A name that came from the host carries stand-ins for the characters that program names
// forbid (platform/host_names.h); on the destination they turn back into those characters, so
// the rules see each part as the host will, its colons aside.
bool partHasInvalidChar(std::string_view part) {
    for (std::string_view piece : piecesBetweenHostColons(part)) {
        if (HasInvalidChar(platform::hostNameOfProgramName(piece))) {
            return true;
        }
    }
    return false;
}

template <typename CleanChars> auto partCleaner(CleanChars cleanChars) {
    return [cleanChars](std::string_view part) {
        static const std::string colon = platform::programNameOfHostName(":");
        std::string cleaned;
        bool first = true;
        for (std::string_view piece : piecesBetweenHostColons(part)) {
            if (!first) {
                cleaned += colon;
            }
            first = false;
            cleaned += platform::programNameOfHostName(cleanChars(platform::hostNameOfProgramName(piece)));
        }
        return cleaned;
    };
}

template <typename CleanChars>
std::string cleanPath(std::string_view path, PathForm form, CleanChars cleanChars) {
    const auto clean = partCleaner(cleanChars);
    const CutPath cut = cutPath(path, form);
    std::string result;
    result.reserve(path.size());
    if (cut.hasDrive) {
        result += clean(cut.drive);
        result += ":\\";
    }
    // Cleaning must not manufacture a folder step: ".?." would become "..".
    const auto becomesDotPart = [](std::string_view raw, std::string_view cleaned) {
        return isDotPart(cleaned) && !isDotPart(raw);
    };
    for (std::string_view folder : cut.folders) {
        std::string cleaned = clean(folder);
        if (becomesDotPart(folder, cleaned)) {
            continue;
        }
        result += cleaned;
        result += '\\';
    }
    std::string file = clean(cut.file);
    if (!becomesDotPart(cut.file, file)) {
        result += file;
    }
    return result;
}

} // namespace

std::string FileNamePart(std::string_view path) {
    const auto last = path.find_last_of("\\:");
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string ReplaceFileName(std::string_view path, std::string_view newName) {
    const auto last = path.find_last_of("\\:");
    std::string result(last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1));
    result += newName;
    return result;
}

std::string PathTail(std::string_view path, int levels) {
    int separators = 0;
    bool rightIsSeparator = false;
    // Leftwards from the next-to-last character; the last one is never examined.
    for (size_t i = path.size() < 2 ? 0 : path.size() - 1; i-- > 0;) {
        const char c = path[i];
        if (c == ':') {
            const bool separatorFollows = i + 1 < path.size() && isSeparator(path[i + 1]);
            return std::string(path.substr(i + (separatorFollows ? 2 : 1)));
        }
        if (isSeparator(c)) {
            ++separators;
            if (rightIsSeparator) {
                return std::string(path.substr(i + 2));
            }
            if (separators > levels) {
                return std::string(path.substr(i + 1));
            }
            rightIsSeparator = true;
        } else {
            rightIsSeparator = false;
        }
    }
    return std::string(path);
}

std::string dropDotParts(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    size_t partStart = 0;
    while (partStart <= text.size()) {
        size_t partEnd = partStart;
        while (partEnd < text.size() && !isSeparator(text[partEnd])) {
            ++partEnd;
        }
        const bool hasSeparator = partEnd < text.size();
        const std::string_view part = text.substr(partStart, partEnd - partStart);
        if (!isDotPart(part)) {
            result += part;
            if (hasSeparator) {
                result += text[partEnd];
            }
        }
        partStart = partEnd + 1;
    }
    return result;
}

bool HasInvalidChar(std::string_view text) {
    return text.find_first_of(InvalidNameChars) != std::string_view::npos;
}

std::string DeleteInvalidChars(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (InvalidNameChars.find(c) == std::string_view::npos) {
            result += c;
        }
    }
    return result;
}

std::string ReplaceInvalidChars(std::string_view text, char replacement) {
    std::string result(text);
    for (char& c : result) {
        if (InvalidNameChars.find(c) != std::string_view::npos) {
            c = replacement;
        }
    }
    return result;
}

bool IsInvalidPath(std::string_view path, PathForm form) {
    const CutPath cut = cutPath(path, form);
    if (cut.hasDrive && partHasInvalidChar(cut.drive)) {
        return true;
    }
    for (std::string_view folder : cut.folders) {
        if (partHasInvalidChar(folder)) {
            return true;
        }
    }
    return partHasInvalidChar(cut.file);
}

std::string DeleteInvalidInPath(std::string_view path, PathForm form) {
    return cleanPath(path, form, [](std::string_view part) { return DeleteInvalidChars(part); });
}

std::string ReplaceInvalidInPath(std::string_view path, char replacement, PathForm form) {
    return cleanPath(path, form,
                     [replacement](std::string_view part) { return ReplaceInvalidChars(part, replacement); });
}

} // namespace plan
