#include "sources/playlist_reader.h"

#include "platform/files.h"
#include "sources/playlist_lines.h"
#include "sources/source_error.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>

namespace sources {
namespace {

constexpr int NotAPlaylistText = 122;
constexpr const char* ListMissingMessage = "Error #83042 !";
constexpr int64_t ReadPieceSize = 1 << 20;

class OpenFile {
public:
    explicit OpenFile(const std::string& path) : m_handle(platform::openFileExclusive(path)) {}
    ~OpenFile() { close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    platform::FileHandle handle() const { return m_handle; }
    void close() {
        if (m_handle != platform::InvalidFile) {
            platform::closeFile(m_handle);
            m_handle = platform::InvalidFile;
        }
    }

private:
    platform::FileHandle m_handle;
};

// The first pass: false when the file is no playlist. `longLinesSkipped` counts the file lines
// too long to name a file.
bool readEntries(OpenFile& file, const std::string& path, store::TfdbObject& listDb,
                 int64_t& longLinesSkipped) {
    PlaylistLineReader reader([&](std::string_view line, const std::string& desc, int32_t len) {
        store::TrackEntry entry;
        entry.OrigFileName = line;
        entry.Desc = desc;
        entry.Len = len;
        return store::appendTrackEntry(listDb, entry) <= 0;
    });
    std::string piece(ReadPieceSize, '\0');
    for (;;) {
        const int64_t got = platform::readFile(file.handle(), piece.data(), ReadPieceSize);
        if (got < 0) {
            throw CannotReadFile(path, platform::lastErrorText());
        }
        if (got == 0 || !reader.feed(std::string_view(piece.data(), static_cast<size_t>(got)))) {
            break;
        }
    }
    const bool playlist = reader.finish();
    longLinesSkipped = reader.longLinesSkipped();
    return playlist;
}

// The second pass: full paths, and sizes under a limit.
void resolveEntries(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit) {
    using store::TrackField;
    const std::string folder = PlaylistFolder(playlistPath);
    const int count = store::trackCount(listDb);
    for (int position = 0; position < count; ++position) {
        const std::string orig = store::readTrackField(listDb, position, TrackField::OrigFileName).toText();
        const std::string path = ResolvePlaylistLine(orig, folder);
        store::setTrackField(listDb, position, TrackField::OrigFileName, store::StoreValue::fromText(path));
        if (sizeLimit != 0) {
            store::setTrackField(listDb, position, TrackField::Size, store::sizeValue(FileSizeOf(path)));
        }
    }
}

bool hasTrackList(store::TfdbObject& listDb) {
    int number = 0;
    return listDb.DSystem.Resolve(store::trackListPath, number) <= 0;
}

} // namespace

void ReadPlaylist(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit,
                  const ShowMessage& showMessage) {
    OpenFile file(playlistPath);
    if (file.handle() == platform::InvalidFile) {
        throw CannotOpenFile(playlistPath, platform::lastErrorText());
    }
    if (!hasTrackList(listDb)) {
        Show(showMessage, ListMissingMessage);
    }
    int64_t longLinesSkipped = 0;
    if (!readEntries(file, playlistPath, listDb, longLinesSkipped)) {
        file.close();
        Show(showMessage, texts::GetText(NotAPlaylistText));
        return;
    }
    file.close();
    if (longLinesSkipped > 0) {
        Show(showMessage, LongLinesSkippedText + std::to_string(longLinesSkipped));
    }
    resolveEntries(listDb, playlistPath, sizeLimit);
}

int64_t FileSizeOf(const std::string& path) {
    OpenFile file(path);
    if (file.handle() == platform::InvalidFile) {
        return 0;
    }
    return std::max<int64_t>(platform::fileLength(file.handle()), 0);
}

} // namespace sources
