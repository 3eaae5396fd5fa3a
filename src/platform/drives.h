// The program's file namespace: Windows-style paths ("C:\Music\a.mp3", "\\server\share",
// "/" accepted wherever "\" is) mapped onto the host file system through a drive table.
// The default table maps Z: to the host root "/", so every host file has a program name.
// Tests mount temporary host folders as further drives. The table is shared by the whole
// process and safe to use from several threads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Maps drive `letter` (either case) to the host folder `hostFolder`, replacing any earlier
// mapping of that letter. The folder is kept in its canonical form (absolute, symbolic links
// resolved when it exists), so that host paths the system hands back map to this drive.
// A `letter` that is not A..Z changes nothing.
void mountDrive(char letter, std::string hostFolder);
void unmountDrive(char letter);
// Back to the default table: Z: -> "/" only.
void resetDriveTable();
// Host folder of a drive, or nullopt when the letter is not mapped.
std::optional<std::string> driveHostFolder(char letter);

// The host path that a program path names, or nullopt when it names no mapped drive
// (an unmapped letter, a "\\" network path, a text with a ":" that is not a drive, an empty
// text, a NUL byte, a text without a drive while the current folder is on no drive).
// "\x" is rooted at the current drive; "x" and "D:x" are taken relative to the current folder
// when it is on that drive, else to the drive's root; "." and ".." are resolved (never above
// the drive root). A "file://" address (host empty or "localhost", %XX decoded) names the
// host file of its path, or with "/D:/..." that program path. When the exact host path does
// not exist, each missing name is looked up without regard to case in its parent folder (the
// host's spelling wins); names below the first that matches nothing stay as given, so a new
// file or folder under an existing folder keeps that folder's spelling.
std::optional<std::string> toHostPath(std::string_view programPath);

// The full form of a program path, the text toHostPath reads it as: the drive, "\" separators,
// "." and ".." resolved, a rooted or relative form taken against the current folder
// ("D:/Music/" and "D:\Music\.\" give "D:\Music", "D:" the current folder when it is on D:,
// a drive root "D:\"). Asks the host nothing, so letter case stays as written and the drive
// need not be mapped; a file:// address gives the program path of its host file. nullopt where
// toHostPath names nothing for the text alone (a network path, no drive to take it against).
std::optional<std::string> fullProgramPath(std::string_view programPath);

// The program path of a host path, through the longest mapped prefix ("Z:\..." by default):
// "D:\" for the drive's folder itself, "D:\Music\a.mp3" below it. Each host name below the
// prefix becomes its program name (host_names.h), and toHostPath turns the names back, so the
// round trip gives the host path exactly. A relative host path is taken
// below the process's current folder; "" when no drive maps it.
std::string toProgramPath(std::string_view hostPath);

// The process's current folder as a program path ("" when no drive maps it), its drive letter
// (upper case, '\0' when none), and changing it (false, lastErrorText() set, on failure).
std::string currentFolder();
char currentDrive();
bool setCurrentFolder(std::string_view programPath);

} // namespace platform
