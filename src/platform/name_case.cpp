#include "platform/name_case.h"

namespace platform {
namespace {

bool isContinuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

// Folds the two-byte UTF-8 character lead+next in place when it is a small letter.
void foldTwoByteLetter(unsigned char& lead, unsigned char& next) {
    if (lead == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) { // à..þ except ÷
        next -= 0x20;
    } else if (lead == 0xD0 && next >= 0xB0) { // а..п
        next -= 0x20;
    } else if (lead == 0xD1 && next <= 0x8F) { // р..я
        lead = 0xD0;
        next += 0x20;
    } else if (lead == 0xD1 && next <= 0x9F) { // ѐ..џ, ё among them
        lead = 0xD0;
        next -= 0x10;
    }
}

} // namespace

std::string foldNameCase(std::string_view name) {
    std::string folded(name);
    for (size_t i = 0; i < folded.size(); ++i) {
        auto& byte = reinterpret_cast<unsigned char&>(folded[i]);
        if (byte >= 'a' && byte <= 'z') {
            byte -= 'a' - 'A';
        } else if (byte >= 0xC2 && byte <= 0xDF && i + 1 < folded.size()) {
            auto& next = reinterpret_cast<unsigned char&>(folded[i + 1]);
            if (isContinuation(next)) {
                foldTwoByteLetter(byte, next);
                ++i;
            }
        }
    }
    return folded;
}

bool namesEqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldNameCase(a) == foldNameCase(b);
}

} // namespace platform
