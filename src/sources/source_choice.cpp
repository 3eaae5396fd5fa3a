#include "sources/source_choice.h"

#include "sources/folder_scanner.h"
#include "sources/picked_files.h"
#include "sources/playlist_reader.h"

namespace sources {

void ReadSource(store::TfdbObject& listDb, const SourceChoice& choice, int64_t sizeLimit,
                const ShowMessage& showMessage, PlaylistReport* report) {
    switch (choice.kind) {
    case PlaylistSource:
        ReadPlaylist(listDb, choice.playlistPath, sizeLimit, showMessage, report);
        break;
    case FolderSource:
        ScanFolder(
            choice.folderPath,
            [&](const std::string& relativePath, const platform::FolderEntry& entry) {
                AddFolderFile(listDb, choice.folderPath, relativePath, entry);
            },
            IsAudioFile);
        break;
    case PickedFilesSource:
        AddPickedFiles(listDb, choice.pickedFiles, sizeLimit);
        break;
    default:
        break;
    }
}

} // namespace sources
