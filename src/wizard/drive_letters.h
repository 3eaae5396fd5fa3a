// The drives of a playlist made on another machine: which letters its file lines name, and the
// rows of the dialog that gives each letter a host folder, read from and written back to the
// window's "Drives" setting ("D:=/mnt/old;E:=/media/x", platform/drive_mappings.h).
#pragma once

#include "platform/drive_mappings.h"

#include <string>
#include <string_view>
#include <vector>

namespace wizard {

// The letters that the file lines of a playlist's text name ("D:\Music\a.mp3", "e:/b.mp3",
// "D:a.mp3"), upper case, each once, in alphabetical order. Comment and info lines ("#...")
// name none, and neither does Z:, which is this machine's root.
std::vector<char> driveLettersNamed(std::string_view playlistText);

struct DriveRow {
    char letter = 0;
    std::string hostFolder; // "" while the letter has no folder
    bool operator==(const DriveRow&) const = default;
};
// One row per letter that the playlist names or the setting maps, in alphabetical order, with
// the folder that the setting gives it.
std::vector<DriveRow> driveRowsFor(const std::vector<char>& named, std::string_view setting);
// The setting's text after the dialog: every row with a folder, in the rows' order; the
// mappings of letters that have no row are kept as they were.
std::string driveSettingFor(const std::vector<DriveRow>& rows, std::string_view setting);

} // namespace wizard
