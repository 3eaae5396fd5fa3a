#include "platform/host_names.h"

namespace platform {
namespace {

constexpr unsigned StandInBase = 0xF000;
constexpr size_t StandInBytes = 3;

// The UTF-8 bytes of the private-use character U+F000 + code (code below 0x1000).
std::string standInFor(unsigned code) {
    const unsigned point = StandInBase + code;
    return {static_cast<char>(0xE0 | (point >> 12)), static_cast<char>(0x80 | ((point >> 6) & 0x3F)),
            static_cast<char>(0x80 | (point & 0x3F))};
}

const std::string& escapeMark() {
    static const std::string mark = standInFor(0);
    return mark;
}

bool standInFits(std::string_view text, size_t at) {
    return at <= text.size() && text.size() - at >= StandInBytes;
}

bool isForbidden(char c) {
    return ForbiddenNameChars.find(c) != std::string_view::npos;
}

// The forbidden character whose stand-in starts at `at`, or '\0'.
char standInAt(std::string_view text, size_t at) {
    if (!standInFits(text, at) || static_cast<unsigned char>(text[at]) != 0xEF) {
        return '\0';
    }
    for (char c : ForbiddenNameChars) {
        if (text.compare(at, StandInBytes, standInFor(static_cast<unsigned char>(c))) == 0) {
            return c;
        }
    }
    return '\0';
}

bool escapeAt(std::string_view text, size_t at) {
    return standInFits(text, at) && text.compare(at, StandInBytes, escapeMark()) == 0;
}

// A stand-in or the escape mark starts at `at`: a host name holding one needs the escape.
bool reservedAt(std::string_view text, size_t at) {
    return at < text.size() && static_cast<unsigned char>(text[at]) == 0xEF &&
           (escapeAt(text, at) || standInAt(text, at) != '\0');
}

} // namespace

std::string programNameOfHostName(std::string_view hostName) {
    std::string name;
    name.reserve(hostName.size());
    for (size_t i = 0; i < hostName.size(); ++i) {
        if (isForbidden(hostName[i])) {
            name += standInFor(static_cast<unsigned char>(hostName[i]));
        } else if (reservedAt(hostName, i)) {
            name += escapeMark();
            name.append(hostName, i, StandInBytes);
            i += StandInBytes - 1;
        } else {
            name += hostName[i];
        }
    }
    return name;
}

std::string hostNameOfProgramName(std::string_view programName) {
    std::string name;
    name.reserve(programName.size());
    for (size_t i = 0; i < programName.size(); ++i) {
        if (escapeAt(programName, i) && reservedAt(programName, i + StandInBytes)) {
            name.append(programName, i + StandInBytes, StandInBytes);
            i += 2 * StandInBytes - 1;
        } else if (char c = standInAt(programName, i); c != '\0') {
            name += c;
            i += StandInBytes - 1;
        } else {
            name += programName[i];
        }
    }
    return name;
}

} // namespace platform
