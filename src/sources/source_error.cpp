#include "sources/source_error.h"

#include "platform/files.h"
#include "platform/last_error.h"
#include "sources/failure_reason.h"
#include "texts/text_table.h"

namespace sources {

namespace {

// `russian` followed by ": " and the reason of the last platform failure, when there is one.
std::string withReason(const std::string& russian) {
    const std::string reason = FailureReason(platform::lastError());
    return reason.empty() ? russian : russian + ": " + reason;
}

constexpr int CannotOpenFileRow = 215;
constexpr int CannotReadFileRow = 216;
constexpr int CannotOpenFolderRow = 217;
constexpr int NotAnIntegerRow = 218;
constexpr int BadPlaylistLengthRow = 219;

} // namespace

SourceError CannotOpenFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open file \"" + path + "\". " + reason,
                       withReason(texts::FormatTextOnce(CannotOpenFileRow, {path})));
}

SourceError CannotReadFile(const std::string& path, const std::string& reason) {
    return SourceError("Cannot read file \"" + path + "\". " + reason,
                       withReason(texts::FormatTextOnce(CannotReadFileRow, {path})));
}

SourceError CannotOpenFolder(const std::string& path, const std::string& reason) {
    return SourceError("Cannot open folder \"" + path + "\". " + reason,
                       withReason(texts::FormatTextOnce(CannotOpenFolderRow, {path})));
}

SourceError NotAnInteger(const std::string& text) {
    return SourceError("'" + text + "' is not a valid integer value",
                       texts::FormatTextOnce(NotAnIntegerRow, {text}));
}

SourceError BadPlaylistLength(const std::string& playlist, int64_t line, const std::string& text) {
    return SourceError(NotAnInteger(text).what() + std::string(" (playlist \"") + playlist + "\", line " +
                           std::to_string(line) + ")",
                       texts::FormatTextOnce(BadPlaylistLengthRow, {text, playlist, std::to_string(line)}));
}

} // namespace sources
