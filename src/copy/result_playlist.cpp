#include "copy/result_playlist.h"

#include "copy/failure_reason.h"

#include "platform/files.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <cstdint>

namespace copy {

std::string PlaylistPath(std::string_view destFolder) {
    return sources::CollapseBackslashes(std::string(destFolder) + "\\" + PlaylistFileName, 3);
}

std::string PlaylistText(store::TfdbObject& listDb) {
    std::string text = "#EXTM3U\r\n";
    store::forEachTrackEntry(listDb, [&text](int, const store::TrackEntry& entry) {
        if (!entry.Desc.empty()) {
            int16_t length = static_cast<int16_t>(entry.Len.value_or(0));
            text += "#EXTINF:" + std::to_string(length) + "," + entry.Desc + "\r\n";
        }
        text += entry.FileName + "\r\n";
    });
    return text;
}

void WritePlaylist(std::string_view destFolder, store::TfdbObject& listDb, ProgressDisplay& display) {
    std::string path = PlaylistPath(destFolder);
    display.LogLine(texts::FormatText(132, {path}));
    if (!platform::writeFileAtomically(path, PlaylistText(listDb))) {
        display.LogLine(WithLastFailureReason(texts::FormatText(157, {path})));
        return;
    }
    if (display.view().askYesNo(texts::GetText(133))) {
        display.view().openDocument(path);
    }
}

} // namespace copy
