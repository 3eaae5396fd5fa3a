// Text rules for destination paths: cutting a path into folder levels and a file name, and
// finding and cleaning the characters that no part of a path may hold. Pure functions over
// program paths ("\" separators, "D:" drive prefixes, "\\server" network roots); nothing here
// touches the file system.
//
// Safety rule: a destination path must never leave the destination folder. A "." or ".."
// part below that folder would be a folder step on the host, so dropDotParts removes such
// parts from every text that is joined below the folder, and DeleteInvalidInPath never lets
// the deletion of invalid characters turn a part into one (".?." would become "..").
#pragma once

#include <string>
#include <string_view>

namespace plan {

// The nine characters that no part of a path may hold (the separators and the drive colon
// are allowed only in their places): " * / : < > ? \ |
inline constexpr std::string_view InvalidNameChars = "\"*/:<>?\\|";

// The text after the last "\" or ":" of `path`; the whole path when it has neither.
// A "/" does not count here.
std::string FileNamePart(std::string_view path);

// `path` without its FileNamePart, followed by `newName`.
std::string ReplaceFileName(std::string_view path, std::string_view newName);

// The file name of `path` with its last `levels` folder names ("\" and "/" both separate).
// A drive prefix ("C:", "C:\") and the leading "\\" of a network path are never part of
// the tail; a relative path with fewer levels is returned whole.
std::string PathTail(std::string_view path, int levels);

// `text` without its "." and ".." parts ("\" and "/" both separate parts); each dropped
// part takes its following separator with it, every other character stays where it was:
// "..\..\x" gives "x", "a\..\..\b" gives "a\b", "\..\x" gives "\x".
std::string dropDotParts(std::string_view text);

bool HasInvalidChar(std::string_view text);
std::string DeleteInvalidChars(std::string_view text);
// Same length as `text`: each invalid character becomes `replacement`.
std::string ReplaceInvalidChars(std::string_view text, char replacement);

// What a path text is: a whole path, which may begin with a drive, or the part of a path below
// a folder, whose ":" can be nothing but an invalid character.
enum class PathForm { Whole, BelowFolder };

// Cuts `path` into a drive part (for a whole path, the text before the first ":" when the path
// holds ":\" anywhere), folder parts between "\" and the file name, and answers whether any
// part holds an invalid character. Empty parts are valid. The stand-in of a host name's
// character (platform/host_names.h) counts as that character, here and in the cleaning below,
// except a host name's colon: that is a plain character of the name and stays.
bool IsInvalidPath(std::string_view path, PathForm form = PathForm::Whole);

// Cut as IsInvalidPath does; each part cleaned with DeleteInvalidChars. A folder or file
// part that the deletion turns into "." or ".." is left out together with its separator.
std::string DeleteInvalidInPath(std::string_view path, PathForm form = PathForm::Whole);
// Cut as IsInvalidPath does; each part cleaned with ReplaceInvalidChars.
std::string ReplaceInvalidInPath(std::string_view path, char replacement, PathForm form = PathForm::Whole);

} // namespace plan
