#include "platform/last_error.h"

#include "platform/files.h"

#include <cstring>

namespace platform {
namespace {

thread_local std::string lastError;

// strerror_r comes in two shapes (GNU returns the text, XSI fills the buffer); both end here.
[[maybe_unused]] const char* errorSentence(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* errorSentence(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}

} // namespace

void detail::setLastError(int errorNumber) {
    char buffer[256] = {};
    lastError = errorSentence(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
}

void detail::setLastErrorText(std::string text) {
    lastError = std::move(text);
}

std::string lastErrorText() {
    return lastError;
}

} // namespace platform
