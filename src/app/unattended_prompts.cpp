#include "app/unattended_prompts.h"

#include <cstdio>

namespace app {

void UnattendedPrompts::showMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

void UnattendedPrompts::showError(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool UnattendedPrompts::askYesNo(const std::string& text) {
    std::fprintf(stderr, "%s (No)\n", text.c_str());
    return false;
}

std::optional<std::string> UnattendedPrompts::pickExistingFile(const FileDialogOptions&) {
    return std::nullopt;
}

std::vector<std::string> UnattendedPrompts::pickExistingFiles(const FileDialogOptions&) {
    return {};
}

std::optional<std::string> UnattendedPrompts::pickFolder(const std::string&, const std::string&) {
    return std::nullopt;
}

} // namespace app
