// How the sources show a message box with an OK button (the missing playlist header, the
// internal "Error #" messages): they call a ShowMessage that the window (a message box), the
// command-line front end (a line on the terminal) or a test (a recording double) hands in.
// The call returns when the message has been seen; the work then goes on. An empty
// ShowMessage shows nothing.
#pragma once

#include <functional>
#include <string>

namespace sources {

using ShowMessage = std::function<void(const std::string& text)>;

inline void showText(const ShowMessage& showMessage, const std::string& text) {
    if (showMessage) {
        showMessage(text);
    }
}

} // namespace sources
