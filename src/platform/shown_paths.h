// Paths as a person or another program on this host sees them. Program paths ("Z:\home\ann\a.mp3")
// are the language of the naming and copy rules; everything that leaves the program (fields,
// the preview's columns, the log, the command-line output, the result playlist) shows the host
// path instead ("/home/ann/a.mp3"), with every stand-in character of host_names.h turned back
// into the host character it stands for.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The host path that `programPath` names, spelt as written: the drive's host folder and the
// names below it (separators "/", "." and ".." resolved, stand-ins back to host characters).
// Asks the host nothing but the current folder for a rooted or relative path, so it is cheap
// enough for every row of a long list. A text that names no mapped drive (an unmapped letter,
// a network path, "") comes back as it is, so a person still sees what was typed.
std::string shownPath(std::string_view programPath);

// The program path of a text that a person typed into a field or that the program showed there:
// an absolute host path ("/home/ann/Music") through the drive table (toProgramPath); any other
// text (a program path such as "D:\Music", a relative path, "") as it is.
std::string programPathOfShown(std::string_view text);

} // namespace platform
