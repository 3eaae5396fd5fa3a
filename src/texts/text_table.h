// The interface texts: one fixed table of Russian texts (UTF-8; rows 0..179 are the design's,
// the later ones the program's own), and the ways to read them. Every caption, hint, list text and message of
// the program comes from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace texts {

inline constexpr int TextRowCount = 420;

// "Error #%1 !": an internal failure of the item store, with the number that tells where.
inline constexpr int InternalErrorRow = 206;

// The rows as stored: "\n" and "\t" still two-character escapes, "%1"/"%2" placeholders.
extern const std::array<std::string_view, TextRowCount> TextTable;

// The row with "\n" expanded to CR LF and "\t" to a tab (either letter case).
// A row outside the table gives "" (the caller's text is left as it was in the other overload).
std::string GetText(int row);
bool GetText(int row, std::string& text);

// One typed argument of FormatText.
struct Pointer {
    const void* value;
};
using TextArg = std::variant<int32_t, bool, char, double, std::string, Pointer>;

// GetText(row), then for k = 1, 2, ... every "%k" replaced by argument k as text.
std::string FormatText(int row, const std::vector<TextArg>& args);
// GetText(row) with each "%k" replaced in one scan: what an argument brings in (a file name such
// as "a%201.mp3") is never read as a placeholder. For texts that carry names and paths.
std::string formatTextOnce(int row, const std::vector<TextArg>& args);

// The two steps above on any text: GetText is expandEscapes of the stored row, FormatText is
// fillPlaceholders of GetText. Argument texts: integers in decimal, booleans "true"/"false", a
// character as itself, a double in its shortest general form within 15 significant digits (the
// numeric locale's decimal separator), strings as they are, a pointer as at least 8 upper-case
// hexadecimal digits and "h". Extra placeholders stay in the text; extra arguments are ignored.
std::string expandEscapes(std::string_view stored);
std::string fillPlaceholders(std::string text, const std::vector<TextArg>& args);

} // namespace texts
