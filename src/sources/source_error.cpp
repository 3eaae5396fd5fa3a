#include "sources/source_error.h"

#include "platform/files.h"
#include "platform/last_error.h"
#include "sources/failure_reason.h"

namespace sources {

namespace {

// `russian` followed by ": " and the reason of the last platform failure, when there is one.
std::string withReason(const std::string& russian) {
    const std::string reason = FailureReason(platform::lastError());
    return reason.empty() ? russian : russian + ": " + reason;
}

std::string notAnIntegerInRussian(const std::string& text) {
    return "'" + text + "' - не целое число";
}

} // namespace

SourceError CannotOpenFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open file \"" + path + "\". " + reason,
                       withReason("Не удалось открыть файл \"" + path + "\""));
}

SourceError CannotReadFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot read file \"" + path + "\". " + reason,
                       withReason("Не удалось прочитать файл \"" + path + "\""));
}

SourceError CannotOpenFolder(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open folder \"" + path + "\". " + reason,
                       withReason("Не удалось открыть папку \"" + path + "\""));
}

SourceError NotAnInteger(const std::string& text) {
    return SourceError("'" + text + "' is not a valid integer value", notAnIntegerInRussian(text));
}

SourceError BadPlaylistLength(const std::string& playlist, int64_t line, const std::string& text) {
    return SourceError(NotAnInteger(text).what() + std::string(" (playlist \"") + playlist + "\", line " +
                           std::to_string(line) + ")",
                       notAnIntegerInRussian(text) + " (плейлист \"" + playlist + "\", строка " +
                           std::to_string(line) + ")");
}

} // namespace sources
