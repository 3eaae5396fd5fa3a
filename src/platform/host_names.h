// Host file names inside program paths. A host name may hold any byte but "/" and NUL, while a
// program name may not hold the characters that program paths give a meaning to
// (\ : * ? " < > |): a "\" would be a separator, a ":" a drive, and "x\..\..\y" would climb out
// of the folder it was listed in. So every such character becomes a stand-in when a host name
// goes into a program path, and goes back when the program path goes to the host.
//
// The stand-ins are private-use characters, U+F000 plus the character's code ("\" is U+F05C,
// ":" U+F03A, ...). Private-use characters carry no meaning in any text, so no real name is
// taken for one; the full-width forms (U+FF1A "：", U+FF1F "？") would look better but are
// ordinary characters in many titles, and a title holding one would come back changed. A host
// name that holds a stand-in itself (or the escape U+F000) gets U+F000 put before it, so the way
// back from a program name to the host name is exact for every host name. Program paths never
// reach a person (fields, logs and playlists show host paths), so the stand-ins stay unseen.
//
// Names are bytes: only ASCII bytes and whole three-byte stand-ins are touched, so names that
// are not valid UTF-8 map and map back unchanged elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The characters that no program name holds.
inline constexpr std::string_view ForbiddenNameChars = "\\:*?\"<>|";

// The program name of a host name: never holds a forbidden character. "." and ".." are no host
// names (listings leave them out), so they are not asked for.
std::string programNameOfHostName(std::string_view hostName);
// The host name of a program name: stand-ins back to their characters, escaped stand-ins to
// themselves. hostNameOfProgramName(programNameOfHostName(x)) == x for every x.
std::string hostNameOfProgramName(std::string_view programName);

} // namespace platform
