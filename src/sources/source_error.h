// The failures that the sources let rise to the window: exceptions whose message is the text
// to show. The window catches them at the edge of its handler and shows the message in a box;
// the command-line front end prints the same failure in the interface's language (inTerminal).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sources {

class SourceError : public std::runtime_error {
public:
    explicit SourceError(const std::string& message, std::string inTerminal = {})
        : std::runtime_error(message), m_inTerminal(std::move(inTerminal)) {}

    // The message in Russian, with the reason of the platform failure behind it; what() when
    // none was given.
    std::string inTerminal() const { return m_inTerminal.empty() ? what() : m_inTerminal; }

private:
    std::string m_inTerminal;
};

// "Cannot open file "<path>". <reason>"; in Russian with the reason of the thread's last
// platform failure.
SourceError cannotOpenFile(const std::string& path, const std::string& reason);
// "Cannot read file "<path>". <reason>": the playlist opened but a read failed on the way.
SourceError cannotReadFile(const std::string& path, const std::string& reason);
// "Cannot open folder "<path>". <reason>"
SourceError cannotOpenFolder(const std::string& path, const std::string& reason);
// "'<text>' is not a valid integer value"
SourceError notAnInteger(const std::string& text);
// The same for the length of an info line, with where it stands:
// "'<text>' is not a valid integer value (playlist "<playlist>", line <line>)".
SourceError badPlaylistLength(const std::string& playlist, int64_t line, const std::string& text);

} // namespace sources
