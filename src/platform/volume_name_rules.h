// The rules that a volume sets for the name of one file or folder, as pure functions over its
// facts (volume_facts.h).
//
// Volumes with Windows name rules (FAT, exFAT, NTFS) refuse, or a Windows machine cannot open,
// names that hold " * / : < > ? \ | or a control character (1..31), the device names CON, PRN,
// AUX, NUL, COM1..COM9 and LPT1..LPT9 in any letter case and with any extension (Windows reads
// "com1.txt.mp3" as the device too, so the device is told by the part before the FIRST dot,
// trailing blanks of that part ignored: "CON .mp3" is the device), names that end in a dot or a
// blank (Windows drops them, so "Track." would be opened as "Track"), and names longer than 255
// UTF-16 units. Other volumes refuse "/" and NUL and names longer than 255 bytes.
//
// Names are program names (UTF-8, host_names.h): a stand-in is judged as the character it
// stands for on the host, so the stand-in of ":" breaks the Windows rules and is fine on ext4,
// and lengths are those of the host name.
//
// The treatment of invalid characters (delete, blank, underscore) is the user's choice and lives
// with the naming rules of the plan (plan/path_rules.h); fitNameToVolume does the fixes that
// leave no choice and expects the characters to be treated first.
#pragma once

#include "platform/volume_facts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The first rule that a name breaks, in this order.
enum class NameProblem {
    Empty,              // "" is no name on any volume
    DotName,            // "." and "..": folder steps, not names
    InvalidChar,        // Windows rules: " * / : < > ? \ |; other volumes: "/" and NUL
    ControlChar,        // Windows rules: a character 1..31
    NonAsciiChar,       // a volume whose driver takes ASCII names only (asciiNamesOnly)
    ReservedName,       // Windows rules: CON, PRN, AUX, NUL, COM1..9, LPT1..9
    TrailingDotOrBlank, // Windows rules: "Track." or "Track "
    TooLong,            // over 255 UTF-16 units (Windows rules) or 255 bytes (other volumes)
};

inline constexpr int MaxNameLength = 255;

// nullopt when `name` is a fine name for one file or folder on the volume.
std::optional<NameProblem> nameProblemOn(const VolumeFacts& facts, std::string_view name);

// `name` made fit for the volume, where that needs no choice of the user's: trailing dots and
// blanks dropped ("Track." gives "Track"), "_" put after the stem of a device name ("CON.mp3"
// gives "CON_.mp3", "con" gives "con_"), a name too long shortened at a character boundary
// keeping its extension (the text from its last dot, when that is at most 32 characters; a longer
// one is part of the name), then checked for a device name again.
// A name that is nothing but dots and blanks becomes "_". Characters that break the rules are
// left as they are: the run treats them first (see above). On a volume without Windows rules
// only the length is fitted.
std::string fitNameToVolume(const VolumeFacts& facts, std::string_view name);

// Whether two names of one folder would be the same file on the volume: equal names everywhere,
// and on a case-insensitive volume names that differ only in letter case (name_case.h).
bool namesClash(const VolumeFacts& facts, std::string_view a, std::string_view b);

// `size` rounded up to a whole number of allocation units: what the file takes on the volume.
// 0 stays 0; a unit of 0 or less (unknown) leaves the size as it is; sizes too large to round
// give the largest int64_t.
int64_t roundUpToAllocationUnit(int64_t size, int64_t allocationUnit);

} // namespace platform
