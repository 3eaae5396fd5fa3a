#include "sources/source_error.h"

namespace sources {

SourceError CannotOpenFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open file \"" + path + "\". " + reason);
}

SourceError CannotReadFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot read file \"" + path + "\". " + reason);
}

SourceError NotAnInteger(const std::string& text) {
    return SourceError("'" + text + "' is not a valid integer value");
}

SourceError BadPlaylistLength(const std::string& playlist, int64_t line, const std::string& text) {
    return SourceError(NotAnInteger(text).what() + std::string(" (playlist \"") + playlist + "\", line " +
                       std::to_string(line) + ")");
}

} // namespace sources
