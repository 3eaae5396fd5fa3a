#include "plan/field_checks.h"

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/name_case.h"
#include "platform/shown_paths.h"
#include "sources/failure_reason.h"
#include "texts/text_table.h"

#include <cctype>

namespace plan {

namespace {

constexpr int PlaylistMissingRow = 181;
constexpr int PlaylistNotAFileRow = 182;
constexpr int PlaylistNotTextRow = 183;
constexpr int FolderMissingRow = 184;
constexpr int DestRelativeRow = 185;
constexpr int DriveNotMappedRow = 186;
constexpr int DestIsAFileRow = 187;
constexpr int DestUnderAFileRow = 188;
constexpr int DestNotWritableRow = 189;
constexpr int DestInsideMovedSourceRow = 190;
constexpr int PlaylistUnreadableRow = 191;

// Bytes of a playlist looked at for a NUL: a text file has none, a song or a picture has some.
constexpr int64_t TextProbeBytes = 4096;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool hasDriveRoot(std::string_view path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

// The full program path of a typed absolute path; nullopt for one without a drive root.
std::optional<std::string> absolutePathOf(std::string_view typed) {
    const std::string program = platform::programPathOfShown(trimmed(typed));
    if (!hasDriveRoot(program)) {
        return std::nullopt;
    }
    return platform::fullProgramPath(program).value_or(program);
}

std::string shown(std::string_view programPath) {
    return platform::shownPath(programPath);
}

std::string parentOf(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos || slash < 3 ? std::string(path.substr(0, 3))
                                                        : std::string(path.substr(0, slash));
}

bool isSameOrInside(const std::string& path, const std::string& folder) {
    const std::string a = platform::foldNameCase(path);
    std::string b = platform::foldNameCase(folder);
    while (b.size() > 3 && b.ends_with('\\')) {
        b.pop_back();
    }
    return a == b || a.starts_with(b.ends_with('\\') ? b : b + "\\");
}

// The nearest folder of `path` that exists, checked on the way up: a file there answers its
// message instead.
std::optional<std::string> destFolderProblem(const std::string& path) {
    if (platform::fileExists(path)) {
        return texts::FormatText(DestIsAFileRow, {shown(path)});
    }
    std::string folder = path;
    while (!platform::folderExists(folder)) {
        const std::string parent = parentOf(folder);
        if (parent == folder) {
            return texts::FormatText(DestNotWritableRow,
                                     {shown(path), sources::failureReason(platform::FileError::NotFound)});
        }
        folder = parent;
        if (platform::fileExists(folder)) {
            return texts::FormatText(DestUnderAFileRow, {shown(path), shown(folder)});
        }
    }
    if (!platform::folderTakesNewEntries(folder)) {
        return texts::FormatText(DestNotWritableRow,
                                 {shown(folder), sources::failureReason(platform::lastError())});
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> playlistFieldProblem(std::string_view typed) {
    const std::string program = platform::programPathOfShown(trimmed(typed));
    const std::string path = platform::fullProgramPath(program).value_or(program);
    if (platform::folderExists(path)) {
        return texts::FormatText(PlaylistNotAFileRow, {shown(path)});
    }
    if (!platform::fileExists(path)) {
        return texts::FormatText(PlaylistMissingRow, {shown(path)});
    }
    const platform::FileHandle file = platform::openFileExclusive(platform::ResolvedPath(path));
    if (file == platform::InvalidFile) {
        return texts::FormatText(PlaylistUnreadableRow,
                                 {shown(path), sources::failureReason(platform::lastError())});
    }
    std::string head(TextProbeBytes, '\0');
    const int64_t got = platform::readFile(file, head.data(), TextProbeBytes);
    platform::closeFile(file);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    if (head.find('\0') != std::string::npos) {
        return texts::FormatText(PlaylistNotTextRow, {shown(path)});
    }
    return std::nullopt;
}

std::optional<std::string> sourceFolderFieldProblem(std::string_view typed) {
    const std::string program = platform::programPathOfShown(trimmed(typed));
    const std::string path = platform::fullProgramPath(program).value_or(program);
    if (!platform::folderExists(path)) {
        return texts::FormatText(FolderMissingRow, {shown(path)});
    }
    return std::nullopt;
}

std::optional<std::string> destFieldProblem(std::string_view typed, const DestFieldContext& context) {
    const std::optional<std::string> path = absolutePathOf(typed);
    if (!path) {
        return texts::FormatText(DestRelativeRow, {std::string(trimmed(typed))});
    }
    if (!platform::toHostPath(*path)) {
        return texts::FormatText(DriveNotMappedRow, {path->substr(0, 2)});
    }
    if (auto problem = destFolderProblem(*path)) {
        return problem;
    }
    if (context.move && !trimmed(context.sourceFolder).empty()) {
        const std::string program = platform::programPathOfShown(trimmed(context.sourceFolder));
        const std::string source = platform::fullProgramPath(program).value_or(program);
        if (isSameOrInside(*path, source)) {
            return texts::FormatText(DestInsideMovedSourceRow, {shown(source)});
        }
    }
    return std::nullopt;
}

} // namespace plan
