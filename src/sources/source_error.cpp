#include "sources/source_error.h"

#include "platform/files.h"
#include "platform/last_error.h"
#include "sources/failure_reason.h"
#include "texts/text_table.h"

namespace sources {

namespace {

// `russian` followed by ": " and the reason of the last platform failure, when there is one.
std::string withReason(const std::string& russian) {
    const std::string reason = failureReason(platform::lastError());
    return reason.empty() ? russian : russian + ": " + reason;
}

constexpr int CannotOpenFileRow = 215;
constexpr int CannotReadFileRow = 216;
constexpr int CannotOpenFolderRow = 217;
constexpr int NotAnIntegerRow = 218;
constexpr int BadPlaylistLengthRow = 219;

} // namespace

SourceError cannotOpenFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open file \"" + path + "\". " + reason,
                       withReason(texts::formatTextOnce(CannotOpenFileRow, {path})));
}

SourceError cannotReadFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot read file \"" + path + "\". " + reason,
                       withReason(texts::formatTextOnce(CannotReadFileRow, {path})));
}

SourceError cannotOpenFolder(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open folder \"" + path + "\". " + reason,
                       withReason(texts::formatTextOnce(CannotOpenFolderRow, {path})));
}

SourceError notAnInteger(const std::string& text) {
    return SourceError("'" + text + "' is not a valid integer value",
                       texts::formatTextOnce(NotAnIntegerRow, {text}));
}

SourceError badPlaylistLength(const std::string& playlist, int64_t line, const std::string& text) {
    return SourceError(notAnInteger(text).what() + std::string(" (playlist \"") + playlist + "\", line " +
                           std::to_string(line) + ")",
                       texts::formatTextOnce(BadPlaylistLengthRow, {text, playlist, std::to_string(line)}));
}

} // namespace sources
