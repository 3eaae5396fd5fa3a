// Path text of the program's namespace taken apart, without asking the host anything:
// separators ("\" and "/"), drive letters, rooted and relative paths, "." and "..", network
// paths and file:// addresses. Used by the drive table (drives.cpp); not a module boundary.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// Where a path starts and the names below that start, "." and ".." already resolved.
struct PathParts {
    char drive = 0;                 // 'A'..'Z', or 0 for the host root (a file:// address)
    std::vector<std::string> names; // program names (host_names.h), also for a file:// address
};

// Takes a program path apart. nullopt when it can name no drive: a network path, a text with a
// ":" that is neither a drive nor a file:// address, an empty text, a NUL byte, or a path that
// needs the current folder when `currentFolder` answers "". `currentFolder` (a program path
// such as "D:\Music") is asked only for rooted and relative paths.
std::optional<PathParts> splitProgramPath(std::string_view path,
                                          const std::function<std::string()>& currentFolder);

// The names of an absolute host path ("/a/./b/../c/" gives a, c). A relative host path is
// taken below `hostCurrentFolder`.
std::vector<std::string> splitHostPath(std::string_view hostPath, std::string_view hostCurrentFolder);
// "/" joined with names below `root` (a host folder, "/" itself included).
std::string joinHostPath(std::string_view root, const std::vector<std::string>& names);
std::string joinHostPath(std::string_view root, std::string_view name);

// %XX escapes decoded; a "%" without two hex digits after it stays as it is.
std::string percentDecode(std::string_view text);

} // namespace platform::detail
