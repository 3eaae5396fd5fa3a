#include "copy/dest_folders.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "platform/transfer.h"
#include "sources/source_paths.h"
#include "texts/text_table.h"

namespace copy {

void CreateDestFolders(const std::string& destFolder, const std::vector<std::string>& destNames,
                       const RunState& run, ProgressDisplay& display) {
    display.LogLine(texts::GetText(129));
    display.view().setPhaseTitle(texts::GetText(130));
    display.SetOverallBar(0);
    display.SetFileBar(0);
    display.view().processPendingMessages();
    std::string last;
    platform::forceFolders(destFolder);
    platform::removeAbandonedPartialFiles(destFolder);
    int count = static_cast<int>(destNames.size());
    for (int i = 0; i < count; ++i) {
        if (!run.shell.WorkActive || destNames[i].empty()) {
            continue;
        }
        // The folder part of the path ("D:\Music\a.mp3" -> "D:\Music", "D:\a.mp3" -> "D:\"),
        // the same cut as a playlist's folder.
        std::string dir = sources::playlistFolderOf(destNames[i]);
        if (dir != last) {
            last = dir;
            display.LogLine(texts::FormatText(131, {platform::shownPath(dir)}));
            if (!platform::folderExists(dir)) {
                platform::forceFolders(dir);
            }
            platform::removeAbandonedPartialFiles(dir);
        }
        display.SetOverallBar(doneFraction(i, run.EntryCount));
    }
    display.SetOverallBar(1);
}

} // namespace copy
