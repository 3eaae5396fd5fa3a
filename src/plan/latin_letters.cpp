#include "plan/latin_letters.h"

#include <array>
#include <utility>

namespace plan {

namespace {

// а..я in alphabet order (U+0430..U+044F), then ё (U+0451).
constexpr std::array<const char*, 33> Lower = {
    "a", "b", "v", "g", "d",  "e",  "zh", "z",  "i",    "y", "k", "l", "m", "n",  "o",  "p", "r",
    "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya", "e"};

// The index into Lower of a lower-case letter's code point, and whether it was upper case.
std::optional<std::pair<size_t, bool>> letterIndex(char32_t code) {
    if (code >= 0x430 && code <= 0x44F) {
        return std::pair{static_cast<size_t>(code - 0x430), false};
    }
    if (code >= 0x410 && code <= 0x42F) {
        return std::pair{static_cast<size_t>(code - 0x410), true};
    }
    if (code == 0x451 || code == 0x401) {
        return std::pair{size_t{32}, code == 0x401};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> latinLettersOf(std::string_view character) {
    if (character.size() != 2) {
        return std::nullopt;
    }
    const auto first = static_cast<unsigned char>(character[0]);
    const auto second = static_cast<unsigned char>(character[1]);
    if ((first & 0xE0) != 0xC0 || (second & 0xC0) != 0x80) {
        return std::nullopt;
    }
    const char32_t code = static_cast<char32_t>(((first & 0x1F) << 6) | (second & 0x3F));
    const auto letter = letterIndex(code);
    if (!letter) {
        return std::nullopt;
    }
    std::string latin = Lower[letter->first];
    if (letter->second && !latin.empty()) {
        latin[0] = static_cast<char>(latin[0] - 'a' + 'A');
    }
    return latin;
}

} // namespace plan
