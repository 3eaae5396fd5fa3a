#include "platform/drive_mappings.h"

#include "platform/drives.h"

namespace platform {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<DriveMapping> parseDriveMapping(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view drive = trimmed(text.substr(0, equals));
    const std::string_view folder = trimmed(text.substr(equals + 1));
    if (drive.size() == 2 && drive[1] == ':') {
        drive.remove_suffix(1);
    }
    if (drive.size() != 1 || folder.empty()) {
        return std::nullopt;
    }
    char letter = drive[0];
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter >= 'Z') {
        return std::nullopt;
    }
    return DriveMapping{letter, std::string(folder)};
}

std::vector<DriveMapping> parseDriveMappings(std::string_view text) {
    std::vector<DriveMapping> mappings;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find_first_of(";\r\n", start);
        if (auto mapping = parseDriveMapping(text.substr(start, end - start))) {
            mappings.push_back(std::move(*mapping));
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return mappings;
}

void mountDriveMappings(const std::vector<DriveMapping>& mappings) {
    for (const DriveMapping& mapping : mappings) {
        mountDrive(mapping.letter, mapping.hostFolder);
    }
}

} // namespace platform
