// Which source files a device plays as they are and which must be converted first. A device is
// described by the file extensions it plays ("mp3", "m4a", ...), in lower case without the dot.
// An extension covers only itself: "m4a" does not cover ".mp4" (which may hold video or another
// codec) nor ".aac" (a bare ADTS stream some players refuse), so a device that plays those lists
// them too. A file the device was not said to play is converted: that costs time, never a file
// the device skips.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

enum class DeviceProfile {
    CarStereo, // MP3 only
    Phone,     // MP3, M4A, AAC, Ogg, Opus, FLAC
};

std::vector<std::string> playedExtensions(DeviceProfile profile);

// Whether a file with `extension` (".MP3", "mp3", ".Mp3": any case, with or without the dot)
// plays on a device that plays `playedExtensions`. An empty extension never plays.
bool playedByDevice(std::string_view extension, const std::vector<std::string>& playedExtensions);

// "mp3,M4A, .ogg" -> {"mp3", "m4a", "ogg"}: entries parted by commas, semicolons or blanks, in
// lower case without their dot, each once, in the order given. nullopt when an entry holds
// anything but ASCII letters and digits after its dot (".mp3/x", "m*"); an empty text gives an
// empty list.
std::optional<std::vector<std::string>> parseExtensionList(std::string_view text);

} // namespace convert
