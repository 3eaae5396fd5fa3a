// The Qt implementation of UserPrompts: modal message boxes and dialogs owned by one window.
#pragma once

#include "app/user_prompts.h"

class QWidget;

namespace app {

class QtUserPrompts : public UserPrompts {
public:
    // `parent` owns the dialogs (they centre on it and block it); it may be null.
    explicit QtUserPrompts(QWidget* parent) : m_parent(parent) {}

    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::optional<std::string> pickExistingFile(const FileDialogOptions& options) override;
    std::vector<std::string> pickExistingFiles(const FileDialogOptions& options) override;
    std::optional<std::string> pickFolder(const std::string& title, const std::string& startFolder) override;

private:
    QWidget* m_parent;
};

} // namespace app
