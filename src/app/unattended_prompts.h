// UserPrompts for a window that no person watches (the page renderer, benchmarks): a message is
// written to standard error and closed at once, every question is answered No and every dialog
// is cancelled, so nothing ever waits for a click.
#pragma once

#include "app/user_prompts.h"

namespace app {

class UnattendedPrompts : public UserPrompts {
public:
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::optional<std::string> pickExistingFile(const FileDialogOptions& options) override;
    std::vector<std::string> pickExistingFiles(const FileDialogOptions& options) override;
    std::optional<std::string> pickFolder(const std::string& title, const std::string& startFolder) override;
};

} // namespace app
