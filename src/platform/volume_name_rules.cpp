#include "platform/volume_name_rules.h"

#include "platform/host_names.h"
#include "platform/name_case.h"

#include <algorithm>
#include <array>

namespace platform {
namespace {

constexpr std::string_view WindowsInvalidChars = "\"*/:<>?\\|";

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length units of one character starting with `lead`: UTF-16 units under Windows rules (a
// four-byte UTF-8 character is a surrogate pair), bytes elsewhere.
size_t unitsOfCharacter(std::string_view text, size_t at, bool utf16) {
    if (!utf16) {
        size_t end = at + 1;
        while (end < text.size() && isContinuation(text[end])) {
            ++end;
        }
        return end - at;
    }
    return static_cast<unsigned char>(text[at]) >= 0xF0 ? 2 : 1;
}

size_t nameLength(std::string_view text, bool utf16) {
    size_t units = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (!isContinuation(text[at]) || at == 0) {
            units += unitsOfCharacter(text, at, utf16);
        }
    }
    return units;
}

// The end of the program-name character at `at`: a UTF-8 character, or the escape mark together
// with the private-use character it escapes (host_names.h), which must never be parted.
size_t pieceEnd(std::string_view text, size_t at) {
    const auto characterEnd = [&text](size_t from) {
        size_t end = from + 1;
        while (end < text.size() && isContinuation(text[end])) {
            ++end;
        }
        return end;
    };
    const size_t end = characterEnd(at);
    const bool escape = text.substr(at, end - at) == "\xEF\x80\x80";
    if (escape && end < text.size() && text.substr(end, 2) == "\xEF\x80") {
        return characterEnd(end);
    }
    return end;
}

// The longest start of a program name whose host name is at most `limit` units long, cut
// between characters.
std::string_view leadingUnits(std::string_view text, size_t limit, bool utf16) {
    size_t units = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = pieceEnd(text, at);
        const size_t pieceUnits = nameLength(hostNameOfProgramName(text.substr(at, end - at)), utf16);
        if (units + pieceUnits > limit) {
            break;
        }
        units += pieceUnits;
        at = end;
    }
    return text.substr(0, at);
}

size_t hostLength(std::string_view programName, bool utf16) {
    return nameLength(hostNameOfProgramName(programName), utf16);
}

bool isReservedStem(std::string_view stem) {
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    const std::string upper = foldNameCase(stem);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return true;
    }
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

std::string_view stemOf(std::string_view name) {
    return name.substr(0, name.find('.'));
}

bool endsWithDotOrBlank(std::string_view name) {
    return !name.empty() && (name.back() == '.' || name.back() == ' ');
}

void dropTrailingDotsAndBlanks(std::string& name) {
    while (endsWithDotOrBlank(name)) {
        name.pop_back();
    }
}

std::string shortened(std::string_view name, bool utf16) {
    if (hostLength(name, utf16) <= MaxNameLength) {
        return std::string(name);
    }
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        const std::string_view extension = name.substr(dot);
        const size_t extensionLength = hostLength(extension, utf16);
        // Only a real extension is kept: a long text after the last dot is part of the name.
        constexpr size_t LongestExtensionKept = 32;
        if (extensionLength <= LongestExtensionKept) {
            std::string cut(leadingUnits(name.substr(0, dot), MaxNameLength - extensionLength, utf16));
            return cut + std::string(extension);
        }
    }
    return std::string(leadingUnits(name, MaxNameLength, utf16));
}

} // namespace

std::optional<NameProblem> nameProblemOn(const VolumeFacts& facts, std::string_view name) {
    const std::string host = hostNameOfProgramName(name);
    if (host.empty()) {
        return NameProblem::Empty;
    }
    if (host == "." || host == "..") {
        return NameProblem::DotName;
    }
    const bool windows = facts.windowsNameRules;
    const std::string_view invalid = windows ? WindowsInvalidChars : std::string_view("/");
    if (host.find_first_of(invalid) != std::string::npos || host.find('\0') != std::string::npos) {
        return NameProblem::InvalidChar;
    }
    if (windows) {
        const auto isControl = [](char c) { return c >= 1 && c <= 31; };
        if (std::any_of(host.begin(), host.end(), isControl)) {
            return NameProblem::ControlChar;
        }
    }
    if (facts.asciiNamesOnly &&
        std::any_of(host.begin(), host.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return NameProblem::NonAsciiChar;
    }
    if (windows) {
        if (isReservedStem(stemOf(host))) {
            return NameProblem::ReservedName;
        }
        if (endsWithDotOrBlank(host)) {
            return NameProblem::TrailingDotOrBlank;
        }
    }
    if (nameLength(host, windows) > MaxNameLength) {
        return NameProblem::TooLong;
    }
    return std::nullopt;
}

std::string fitNameToVolume(const VolumeFacts& facts, std::string_view name) {
    // Worked on the program name itself: a forbidden character written plainly is the run's to
    // treat, and turning it into the stand-in of a fitted character would hide it.
    std::string fitted(name);
    const bool windows = facts.windowsNameRules;
    if (windows) {
        dropTrailingDotsAndBlanks(fitted);
        if (fitted.empty() && !name.empty()) {
            fitted = "_";
        }
        if (isReservedStem(stemOf(fitted))) {
            fitted.insert(stemOf(fitted).size(), "_");
        }
    }
    fitted = shortened(fitted, windows);
    if (windows) {
        // A cut without an extension to keep can end in a blank or dot again, or leave a device
        // name ("CON.<long text>" cut before its dot).
        dropTrailingDotsAndBlanks(fitted);
        if (fitted.empty() && !name.empty()) {
            fitted = "_";
        }
        if (isReservedStem(stemOf(fitted))) {
            fitted.insert(stemOf(fitted).size(), "_");
            fitted = shortened(fitted, windows);
        }
    }
    return fitted;
}

bool namesClash(const VolumeFacts& facts, std::string_view a, std::string_view b) {
    return a == b || (facts.caseInsensitive && namesEqualNoCase(a, b));
}

int64_t roundUpToAllocationUnit(int64_t size, int64_t allocationUnit) {
    if (size <= 0 || allocationUnit <= 0) {
        return size;
    }
    const int64_t remainder = size % allocationUnit;
    if (remainder == 0) {
        return size;
    }
    const int64_t padding = allocationUnit - remainder;
    return size > std::numeric_limits<int64_t>::max() - padding ? std::numeric_limits<int64_t>::max()
                                                                : size + padding;
}

} // namespace platform
