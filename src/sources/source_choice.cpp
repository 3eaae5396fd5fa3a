#include "sources/source_choice.h"

#include "sources/folder_scanner.h"
#include "sources/picked_files.h"
#include "sources/playlist_reader.h"
#include "sources/source_messages.h"
#include "sources/source_paths.h"

namespace sources {
namespace {

// The folder source; what the walk left out is shown once at its end.
void readFolder(store::TfdbObject& listDb, const std::string& folderPath, const ShowMessage& showMessage) {
    std::vector<LeftOutPlace> leftOut;
    int64_t leftOutCount = 0;
    const std::string folder = StripTrailingBackslashes(folderPath);
    ScanFolder(
        folderPath,
        [&](const std::string& relativePath, const platform::FolderEntry& entry) {
            AddFolderFile(listDb, folderPath, relativePath, entry);
        },
        IsAudioFile,
        [&](const std::string& relativePath, const std::string& reason) {
            if (leftOut.size() < MostPlacesNamed) {
                leftOut.push_back({CollapseBackslashes(folder + relativePath, 3), reason});
            }
            ++leftOutCount;
        });
    if (leftOutCount > 0) {
        Show(showMessage, LeftOutMessage(leftOut, leftOutCount));
    }
}

} // namespace

void ReadSource(store::TfdbObject& listDb, const SourceChoice& choice, int64_t sizeLimit,
                const ShowMessage& showMessage, PlaylistReport* report) {
    switch (choice.kind) {
    case PlaylistSource:
        ReadPlaylist(listDb, choice.playlistPath, sizeLimit, showMessage, report);
        break;
    case FolderSource:
        readFolder(listDb, choice.folderPath, showMessage);
        break;
    case PickedFilesSource:
        AddPickedFiles(listDb, choice.pickedFiles, sizeLimit);
        break;
    default:
        break;
    }
}

} // namespace sources
