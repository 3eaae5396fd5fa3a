#include "app/handler_guard.h"

#include <exception>

namespace app {

bool runGuarded(UserPrompts& prompts, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        prompts.showError(error.what());
        return false;
    }
}

} // namespace app
