// Drives that the user adds to the drive table, so that playlists written on another machine
// ("D:\Music\...") find their files here: "D:=/mnt/old" maps D: to the host folder /mnt/old.
// The command line takes them one by one (--drive), the window's settings as one text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DriveMapping {
    char letter = 0;        // 'A'..'Y', upper case
    std::string hostFolder; // as given; mountDrive makes it canonical
    bool operator==(const DriveMapping&) const = default;
};

// "D:=/mnt/old" (the letter in either case, the ":" optional, blanks around the parts ignored).
// nullopt for anything else: no letter, an empty folder, and Z:, which stays the host root so
// that every host file keeps a program name.
std::optional<DriveMapping> parseDriveMapping(std::string_view text);

// Mappings separated by ";" or line ends; the parts that are no mapping are left out.
std::vector<DriveMapping> parseDriveMappings(std::string_view text);

// Mounts each mapping (mountDrive), later ones winning for the same letter.
void mountDriveMappings(const std::vector<DriveMapping>& mappings);

} // namespace platform
