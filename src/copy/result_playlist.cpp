#include "copy/result_playlist.h"

#include "copy/failure_reason.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "sources/source_paths.h"
#include "sources/text_decoding.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>
#include <cstdint>

namespace copy {

std::string resultPlaylistPath(std::string_view destFolder) {
    return sources::CollapseBackslashes(std::string(destFolder) + "\\" + PlaylistFileName, 3);
}

namespace {

bool isDriveStart(std::string_view line) {
    return line.size() >= 2 && line[1] == ':' &&
           ((line[0] >= 'A' && line[0] <= 'Z') || (line[0] >= 'a' && line[0] <= 'z'));
}

// Whether a playlist reader would take the plain line for something other than the path it
// spells: a comment ("#"), blanks it trims, a line end or other control character inside, a
// "\" that it splits at, bytes that are no UTF-8 (the line would be read as Windows-1251), a
// drive ("C:...") or an address ("x://...").
bool readsBackOtherwise(std::string_view line) {
    const auto byte = [](char c) { return static_cast<unsigned char>(c); };
    if (line.empty() || line.front() == '#' || byte(line.front()) <= ' ' || byte(line.back()) <= ' ') {
        return true;
    }
    const bool control =
        std::any_of(line.begin(), line.end(), [&](char c) { return byte(c) < ' ' || c == 0x7F; });
    return control || line.find('\\') != std::string_view::npos ||
           line.find("://") != std::string_view::npos || isDriveStart(line) || !sources::isValidUtf8(line);
}

// The file:// address of an absolute host path: every byte but the unreserved ones of an
// address and the "/" between names as a %XX escape, so the line is plain ASCII and each name
// comes back whole (a reader decodes each name on its own).
std::string fileUrlOf(std::string_view hostPath) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (char c : hostPath) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += hex[b >> 4];
            url += hex[b & 0x0F];
        }
    }
    return url;
}

} // namespace

std::string playlistEntryLine(std::string_view copyPath, const PlaylistLines& lines) {
    const std::string path = platform::shownPath(copyPath);
    std::string line = path;
    if (lines.paths == PlaylistPaths::Relative) {
        std::string folder = platform::shownPath(lines.destFolder);
        if (!folder.ends_with('/')) {
            folder += '/';
        }
        if (path.starts_with(folder)) {
            line = path.substr(folder.size());
        }
    }
    // A path that names no host file (no mapped drive) has no address and goes as it is.
    return path.starts_with('/') && readsBackOtherwise(line) ? fileUrlOf(path) : line;
}

std::string resultPlaylistText(store::TfdbObject& listDb, const PlaylistLines& lines) {
    std::string text = "#EXTM3U\r\n";
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        if (!entry.Desc.empty()) {
            int16_t length = static_cast<int16_t>(entry.Len.value_or(0));
            text += "#EXTINF:" + std::to_string(length) + "," + entry.Desc + "\r\n";
        }
        const std::string* copyPath = &entry.FileName;
        if (lines.landedNames) {
            if (auto landed = lines.landedNames->find(position); landed != lines.landedNames->end()) {
                copyPath = &landed->second;
            }
        }
        text += playlistEntryLine(*copyPath, lines) + "\r\n";
    });
    return text;
}

void WritePlaylist(const CopyOptions& options, store::TfdbObject& listDb,
                   const std::map<int, std::string>& landedNames, ProgressDisplay& display) {
    std::string path = resultPlaylistPath(options.DestFolder);
    display.LogLine(texts::FormatText(132, {platform::shownPath(path)}));
    const PlaylistLines lines{
        .destFolder = options.DestFolder, .paths = options.PlaylistPaths, .landedNames = &landedNames};
    if (!platform::writeFileAtomically(path, resultPlaylistText(listDb, lines))) {
        display.LogLine(withLastFailureReason(texts::FormatText(157, {platform::shownPath(path)})));
        return;
    }
    if (display.view().askYesNo(texts::GetText(133))) {
        display.view().openDocument(path);
    }
}

} // namespace copy
