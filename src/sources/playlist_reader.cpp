#include "sources/playlist_reader.h"

#include "platform/files.h"
#include "sources/playlist_lines.h"
#include "sources/source_error.h"
#include "sources/source_paths.h"
#include "sources/track_entries.h"
#include "store/object_model.h"
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

// The first pass: false when the file is no playlist.
bool readEntries(OpenFile& file, const std::string& path, TrackListAppender& appender) {
    PlaylistLineReader reader([&](std::string_view line, const std::string& desc, int32_t len) {
        return appender.append({std::string(line), desc, SizeNotMeasured, len});
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
    return reader.finish();
}

// The second pass: full paths, and sizes under a limit.
void resolveEntries(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit) {
    using store::StoreValue;
    const std::string folder = PlaylistFolder(playlistPath);
    std::unique_ptr<store::TfdbItem> list = listDb.DSystem.ItemByPath("list");
    if (list->Index <= 0) {
        return;
    }
    const int high = list->AsTLinks.High();
    for (int position = 0; position <= high; ++position) {
        store::TfdbItemAsObject& entry = list->AsTLinks.Link(position).AsObject;
        StoreValue value;
        entry.FieldByName(OrigFileNameField).GetValue(value);
        const std::string path = ResolvePlaylistLine(value.toText(), folder);
        entry.FieldByName(OrigFileNameField).SetValue(StoreValue::fromText(path));
        if (sizeLimit != 0) {
            entry.FieldByName(SizeField).SetValue(StoreValue::fromInt64(FileSizeOf(path)));
        }
    }
}

} // namespace

void ReadPlaylist(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit,
                  const ShowMessage& showMessage) {
    OpenFile file(playlistPath);
    if (file.handle() == platform::InvalidFile) {
        throw CannotOpenFile(playlistPath, platform::lastErrorText());
    }
    TrackListAppender appender(listDb);
    if (!appender.listFound()) {
        Show(showMessage, ListMissingMessage);
    }
    if (!readEntries(file, playlistPath, appender)) {
        file.close();
        Show(showMessage, texts::GetText(NotAPlaylistText));
        return;
    }
    file.close();
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
