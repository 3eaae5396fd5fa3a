#include "copy/dest_folders.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "platform/transfer.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

namespace copy {

void CreateDestFolders(const std::string& destFolder, store::TfdbObject& listDb, const RunState& run,
                       ProgressDisplay& display) {
    display.LogLine(texts::GetText(129));
    display.view().setPhaseTitle(texts::GetText(130));
    display.SetOverallBar(0);
    display.SetFileBar(0);
    display.view().processPendingMessages();
    std::string last;
    platform::forceFolders(destFolder);
    platform::removeAbandonedPartialFiles(destFolder);
    int count = store::trackCount(listDb);
    for (int i = 0; i < count; ++i) {
        if (!run.shell.WorkActive) {
            continue;
        }
        // The folder part of the path ("D:\Music\a.mp3" -> "D:\Music", "D:\a.mp3" -> "D:\"),
        // the same cut as a playlist's folder.
        std::string fileName = store::readTrackField(listDb, i, store::TrackField::FileName).toText();
        std::string dir = sources::PlaylistFolder(fileName);
        if (dir != last) {
            last = dir;
            display.LogLine(texts::FormatText(131, {platform::shownPath(dir)}));
            if (!platform::folderExists(dir)) {
                platform::forceFolders(dir);
            }
            platform::removeAbandonedPartialFiles(dir);
        }
        display.SetOverallBar(DoneFraction(i, run.EntryCount));
    }
    display.SetOverallBar(1);
}

} // namespace copy
