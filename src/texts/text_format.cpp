#include "texts/text_table.h"

#include <cinttypes>
#include <cstdio>

namespace texts {

namespace {

// Letter case is folded for ASCII only, whatever locale the process runs under: the escapes and
// placeholders are ASCII, and UTF-8 bytes must never fold into them.
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Replaces every occurrence of pattern, matched without regard to ASCII letter case, scanning left
// to right; the inserted text is not scanned again within the same call.
void replaceAllIgnoringCase(std::string& text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) {
        return;
    }
    auto matchesAt = [&](std::size_t pos) {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (asciiLower(text[pos + i]) != asciiLower(pattern[i])) {
                return false;
            }
        }
        return true;
    };
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.size() - pos >= pattern.size() && matchesAt(pos)) {
            result += replacement;
            pos += pattern.size();
        } else {
            result += text[pos];
            ++pos;
        }
    }
    text = std::move(result);
}

std::string argumentText(const TextArg& arg) {
    struct Visitor {
        std::string operator()(int32_t value) const { return std::to_string(value); }
        std::string operator()(bool value) const { return value ? "true" : "false"; }
        std::string operator()(char value) const { return std::string(1, value); }
        std::string operator()(double value) const {
            // %.15g is the shortest general form within 15 significant digits, and it takes the
            // decimal separator from the process's numeric locale.
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.15g", value);
            return buffer;
        }
        std::string operator()(const std::string& value) const { return value; }
        std::string operator()(Pointer value) const {
            // At least 8 digits; an address above 4 GiB keeps all of its digits rather than being cut.
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%08" PRIXPTR "h", reinterpret_cast<uintptr_t>(value.value));
            return buffer;
        }
    };
    return std::visit(Visitor{}, arg);
}

} // namespace

std::string expandEscapes(std::string_view stored) {
    std::string text(stored);
    replaceAllIgnoringCase(text, "\\n", "\r\n");
    replaceAllIgnoringCase(text, "\\t", "\t");
    return text;
}

std::string fillPlaceholders(std::string text, const std::vector<TextArg>& args) {
    // Each pass scans the whole current text, so what an earlier argument brought in is open to
    // the later ones, and "%1" also matches the start of "%10".
    for (std::size_t k = 1; k <= args.size(); ++k) {
        replaceAllIgnoringCase(text, "%" + std::to_string(k), argumentText(args[k - 1]));
    }
    return text;
}

bool GetText(int row, std::string& text) {
    if (row < 0 || row >= TextRowCount) {
        return false;
    }
    text = expandEscapes(TextTable[static_cast<std::size_t>(row)]);
    return true;
}

std::string GetText(int row) {
    std::string text;
    GetText(row, text);
    return text;
}

std::string FormatText(int row, const std::vector<TextArg>& args) {
    return fillPlaceholders(GetText(row), args);
}

std::string formatTextOnce(int row, const std::vector<TextArg>& args) {
    const std::string text = GetText(row);
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t digits = pos + 1;
        // Up to three digits: the table has no placeholder above %99.
        while (text[pos] == '%' && digits < text.size() && digits < pos + 4 && text[digits] >= '0' &&
               text[digits] <= '9') {
            ++digits;
        }
        const std::size_t number = digits > pos + 1 ? std::stoul(text.substr(pos + 1, digits - pos - 1)) : 0;
        if (number >= 1 && number <= args.size()) {
            result += argumentText(args[number - 1]);
            pos = digits;
        } else {
            result += text[pos];
            ++pos;
        }
    }
    return result;
}

} // namespace texts
