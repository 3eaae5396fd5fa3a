// Everything the window asks of a person: message boxes, the Yes/No question, the file-open
// dialogs and the folder picker. The window holds one UserPrompts; the program gives it the Qt
// implementation (qt_user_prompts.h), tests a double that answers from a script.
//
// Texts are UTF-8. Paths that come back are program paths (platform/drives.h); a dialog that
// the user cancels answers nullopt or an empty list and changes nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// One entry of a file dialog's filter: "WinAmp playlists (*.m3u)" with {"*.m3u"}.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};

struct FileDialogOptions {
    std::string startFolder; // program path; "" lets the dialog choose
    std::vector<FileFilter> filters;
    std::string defaultSuffix; // added to a typed name without one, e.g. "m3u"; "" for none
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A message box with an OK button; returns when the person has closed it.
    virtual void showMessage(const std::string& text) = 0;
    // The same with the error look, for failures shown at the edge of a handler.
    virtual void showError(const std::string& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // One existing file.
    virtual std::optional<std::string> pickExistingFile(const FileDialogOptions& options) = 0;
    // Several existing files; empty when cancelled.
    virtual std::vector<std::string> pickExistingFiles(const FileDialogOptions& options) = 0;
    // A folder; `startFolder` is selected when it exists.
    virtual std::optional<std::string> pickFolder(const std::string& title,
                                                  const std::string& startFolder) = 0;
};

} // namespace app
