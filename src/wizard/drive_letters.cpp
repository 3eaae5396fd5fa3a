#include "wizard/drive_letters.h"

#include <algorithm>
#include <cctype>

namespace wizard {

namespace {

char driveLetterOf(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.size() < start + 2 || line[start + 1] != ':') {
        return 0;
    }
    const auto c = static_cast<unsigned char>(line[start]);
    if (!std::isalpha(c) || c >= 0x80) {
        return 0;
    }
    const char letter = static_cast<char>(std::toupper(c));
    return letter == 'Z' ? 0 : letter;
}

void addLetter(std::vector<char>& letters, char letter) {
    if (letter != 0 && std::find(letters.begin(), letters.end(), letter) == letters.end()) {
        letters.push_back(letter);
    }
}

std::string mappingText(char letter, const std::string& folder) {
    return std::string(1, letter) + ":=" + folder;
}

} // namespace

std::vector<char> driveLettersNamed(std::string_view playlistText) {
    std::vector<char> letters;
    size_t start = 0;
    while (start < playlistText.size()) {
        size_t end = playlistText.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = playlistText.size();
        }
        addLetter(letters, driveLetterOf(playlistText.substr(start, end - start)));
        start = end + 1;
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

std::vector<DriveRow> driveRowsFor(const std::vector<char>& named, std::string_view setting) {
    const std::vector<platform::DriveMapping> mapped = platform::parseDriveMappings(setting);
    std::vector<char> letters = named;
    for (const platform::DriveMapping& mapping : mapped) {
        addLetter(letters, mapping.letter);
    }
    std::sort(letters.begin(), letters.end());
    std::vector<DriveRow> rows;
    for (const char letter : letters) {
        DriveRow row{letter, {}};
        // Later mappings of a letter win, as when they are mounted.
        for (const platform::DriveMapping& mapping : mapped) {
            if (mapping.letter == letter) {
                row.hostFolder = mapping.hostFolder;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::string driveSettingFor(const std::vector<DriveRow>& rows, std::string_view setting) {
    std::vector<std::string> parts;
    for (const platform::DriveMapping& mapping : platform::parseDriveMappings(setting)) {
        const bool hasRow = std::any_of(rows.begin(), rows.end(), [&mapping](const DriveRow& row) {
            return row.letter == mapping.letter;
        });
        if (!hasRow) {
            parts.push_back(mappingText(mapping.letter, mapping.hostFolder));
        }
    }
    for (const DriveRow& row : rows) {
        if (!row.hostFolder.empty()) {
            parts.push_back(mappingText(row.letter, row.hostFolder));
        }
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ";") + part;
    }
    return text;
}

} // namespace wizard
