// The size limit of the destination page: the free space of the destination's volume, the
// limit text in megabytes (1000000 bytes) turned into SizeLimit, and what the page's
// dependent controls show. The limit is advisory; SizeLimit 0 means none.
//
// Pure logic with plain inputs and results: the window reads its controls, calls these and
// shows what they return. Nothing here reports errors; unreadable input means "no limit".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plan {

inline constexpr int64_t BytesPerMegabyte = 1000000;

// Free bytes on the volume of `path`'s nearest existing folder, -1 when its drive cannot be
// queried. A path without a drive letter ("\\server\share", a relative path, "") measures
// the volume of the process's current folder.
// -1 also for a volume that reports no size, so that the automatic limit is none there.
int64_t FreeSpace(std::string_view path);

// Whole megabytes of a byte count, cut toward zero, as the limit box shows them: 4700000000
// gives "4700", 999999 gives "0", and so does -1 (a drive that cannot be queried).
std::string megabytesText(int64_t bytes);

// The automatic limit's text for `bytes` of free space: megabytesText, but below one megabyte
// the megabytes with their fraction ("0.5" for 500000), so that a nearly full volume still
// shows its free space and gives a limit rather than "0", which means none.
std::string freeMegabytesText(int64_t bytes);

// Reads the digits of `text`, "." and "," as the decimal point and "-" as the sign, leaving
// out every other character. Status 0 with the number when what is left converts; status 255
// and number 0 when nothing is left or it does not convert ("1.2.3", "5-", a number beyond
// the range of a double).
struct ParsedNumber {
    double number = 0;
    int status = 255;
};
ParsedNumber ParseNumber(std::string_view text);

// The limit in bytes that a limit text in megabytes gives: the integer part of the number
// times 1000000, 0 when the text does not convert. A product that lies within binary
// rounding of a whole number counts as that number ("1.001" gives 1001000, not 1000999);
// one beyond the 64-bit range saturates.
int64_t sizeLimitFromText(std::string_view limitText);

// The limit in seconds that a limit text in minutes gives, 0 when the text is no time: "80 мин",
// "80мин", "80 min", "Audio CD 74 мин" (the number before the unit) or "74:00", "1:14:00"
// (minutes and seconds, or hours, minutes and seconds).
int64_t timeLimitFromText(std::string_view limitText);

// Leaving the destination page: the new SizeLimit from the text of cbSizeLimit. A typed
// limit (cbAutoSizeLimit clear) that gives a limit other than 0 joins the history
// `limitItems` (the drop-down items of cbSizeLimit) on top, unless it is there already; so does
// a typed time limit (timeLimitFromText), for which the size limit is 0.
int64_t ApplySizeLimit(std::string_view limitText, bool autoSizeLimit, std::vector<std::string>& limitItems);

// The controls of the destination page that depend on others.
struct DestPageControls {
    bool renameFiles = true;      // CheckBox1
    bool autoSizeLimit = true;    // cbAutoSizeLimit
    bool keepFolderLevels = true; // cbDiv
    std::string destFolder = {};  // cbDest
};
struct DestPageState {
    bool renameGroupEnabled = true;  // GroupBox1
    bool sizeLimitEnabled = false;   // cbSizeLimit
    bool folderLevelsEnabled = true; // seDiv
    // The text cbSizeLimit must show: the free megabytes of the destination while the limit
    // is automatic ("0" when the drive cannot be queried, "" while no destination is typed:
    // the working folder's space would mean nothing); nullopt leaves the typed text.
    std::optional<std::string> sizeLimitText;
};
DestPageState destOptionsFor(const DestPageControls& controls);

} // namespace plan
