#include "copy/result_playlist.h"

#include "copy/failure_reason.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <cstdint>

namespace copy {

std::string PlaylistPath(std::string_view destFolder) {
    return sources::CollapseBackslashes(std::string(destFolder) + "\\" + PlaylistFileName, 3);
}

std::string PlaylistEntryLine(std::string_view copyPath, const PlaylistLines& lines) {
    std::string path = platform::shownPath(copyPath);
    if (lines.paths == PlaylistPaths::Absolute) {
        return path;
    }
    std::string folder = platform::shownPath(lines.destFolder);
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return path.starts_with(folder) ? path.substr(folder.size()) : path;
}

std::string PlaylistText(store::TfdbObject& listDb, const PlaylistLines& lines) {
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
        text += PlaylistEntryLine(*copyPath, lines) + "\r\n";
    });
    return text;
}

void WritePlaylist(const CopyOptions& options, store::TfdbObject& listDb,
                   const std::map<int, std::string>& landedNames, ProgressDisplay& display) {
    std::string path = PlaylistPath(options.DestFolder);
    display.LogLine(texts::FormatText(132, {platform::shownPath(path)}));
    const PlaylistLines lines{
        .destFolder = options.DestFolder, .paths = options.PlaylistPaths, .landedNames = &landedNames};
    if (!platform::writeFileAtomically(path, PlaylistText(listDb, lines))) {
        display.LogLine(WithLastFailureReason(texts::FormatText(157, {platform::shownPath(path)})));
        return;
    }
    if (display.view().askYesNo(texts::GetText(133))) {
        display.view().openDocument(path);
    }
}

} // namespace copy
