// The program's file namespace: Windows-style paths ("C:\Music\a.mp3", "\\server\share",
// "/" accepted wherever "\" is) mapped onto the host file system through a drive table.
// The default table maps Z: to the host root "/", so every host file has a program name.
// Tests mount temporary host folders as further drives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Maps drive `letter` (either case) to the host folder `hostFolder` (absolute), replacing
// any earlier mapping of that letter.
void mountDrive(char letter, std::string hostFolder);
void unmountDrive(char letter);
// Back to the default table: Z: -> "/" only.
void resetDriveTable();
// Host folder of a drive, or nullopt when the letter is not mapped.
std::optional<std::string> driveHostFolder(char letter);

// The host path that a program path names, or nullopt when it names no mapped drive
// (an unmapped letter, a "\\" network path, a text without a drive and no current drive).
// A path beginning with one separator is rooted at the current drive; a path without a
// drive is taken relative to the current folder; "." and ".." are resolved (never above
// the drive root); a "file://" address names the host file it points to. When the exact
// host path does not exist, each missing component is looked up without regard to case.
std::optional<std::string> toHostPath(std::string_view programPath);

// The program path of a host path, through the longest mapped prefix ("Z:\..." by default);
// "" when no drive maps it.
std::string toProgramPath(std::string_view hostPath);

// The process's current folder as a program path, and its drive letter (upper case).
std::string currentFolder();
char currentDrive();
bool setCurrentFolder(std::string_view programPath);

} // namespace platform
