// The failures that the sources let rise to the window: exceptions whose message is the text
// to show. The window catches them at the edge of its handler and shows the message in a box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sources {

class SourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot open file "<path>". <reason>"
SourceError CannotOpenFile(const std::string& path, const std::string& reason);
// "Cannot read file "<path>". <reason>": the playlist opened but a read failed on the way.
SourceError CannotReadFile(const std::string& path, const std::string& reason);
// "'<text>' is not a valid integer value"
SourceError NotAnInteger(const std::string& text);
// The same for the length of an info line, with where it stands:
// "'<text>' is not a valid integer value (playlist "<playlist>", line <line>)".
SourceError BadPlaylistLength(const std::string& playlist, int64_t line, const std::string& text);

} // namespace sources
