#include "sources/playlist_reader.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "sources/file_probes.h"
#include "sources/playlist_lines.h"
#include "sources/source_error.h"
#include "sources/source_messages.h"
#include "sources/source_paths.h"
#include "sources/tail_search.h"
#include "sources/text_decoding.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>

namespace sources {
namespace {

constexpr int NotAPlaylistText = 122;
constexpr int32_t ListMissingNumber = 83042;
constexpr int LongLinesSkippedText = 179;
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

// What the first pass found beside the entries.
struct FirstPass {
    bool playlist = false;
    int64_t longLinesSkipped = 0; // file lines too long to name a file
    bool byteOrderMark = false;
    LineNumbers nonUtf8Lines;
    LineNumbers cutInfoLines;
};

FirstPass readEntries(OpenFile& file, const std::string& path, store::TfdbObject& listDb) {
    PlaylistLineReader reader(
        [&](std::string_view line, const std::string& desc, int32_t len) {
            store::TrackEntry entry;
            entry.OrigFileName = line;
            entry.Desc = desc;
            entry.Len = len;
            return store::appendTrackEntry(listDb, entry) <= 0;
        },
        platform::shownPath(path));
    std::string piece(ReadPieceSize, '\0');
    for (;;) {
        const int64_t got = platform::readFile(file.handle(), piece.data(), ReadPieceSize);
        if (got < 0) {
            throw cannotReadFile(platform::shownPath(path), platform::lastErrorText());
        }
        if (got == 0 || !reader.feed(std::string_view(piece.data(), static_cast<size_t>(got)))) {
            break;
        }
    }
    const bool playlist = reader.finish();
    return {playlist, reader.longLinesSkipped(), reader.byteOrderMark(), reader.nonUtf8Lines(),
            reader.cutInfoLines()};
}

bool isUtf8Playlist(std::string_view path) {
    std::string name(path.substr(path.size() >= 5 ? path.size() - 5 : 0));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return name == ".m3u8";
}

// The length (under `measure`, else -1) and with `tags` the tags of a file that the tail search
// found in place of the one its line named.
int64_t probeFoundFile(const std::string& path, bool measure, TagsRead* tags, FileProbes& probes,
                       size_t position) {
    if (!tags) {
        return measure ? platform::exclusiveFileLength(path) : -1;
    }
    ProbedFile probed = tags->lookup.probe(path, measure);
    probes.tags(position) = std::move(probed.tags);
    return probed.length;
}

// The second pass: texts in UTF-8, full paths (found by their tail where they are missing), and
// sizes under a limit. The files are looked at on a thread of their own (FileProbes) while the
// lines are resolved; only a line whose file is not there is looked at again, here.
void resolveEntries(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit, bool utf8,
                    PlaylistReport* report, TagsRead* tags) {
    using store::TrackField;
    const std::string folder = playlistFolderOf(playlistPath);
    const auto decoded = [utf8](const std::string& raw) { return decodedLine(raw, utf8); };
    const int count = store::trackCount(listDb);
    const bool measure = sizeLimit != 0;
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(std::max(count, 0)));
    FileProbes probes(measure, paths.capacity(), tags ? &tags->lookup : nullptr);
    for (int position = 0; position < count; ++position) {
        const std::string desc = store::readTrackField(listDb, position, TrackField::Desc).toText();
        if (!desc.empty()) {
            store::setTrackField(listDb, position, TrackField::Desc,
                                 store::StoreValue::fromText(decoded(desc)));
        }
        paths.push_back(resolvePlaylistLine(
            decoded(store::readTrackField(listDb, position, TrackField::OrigFileName).toText()), folder));
        probes.add(paths.back());
    }
    probes.finish();
    TailSearch tailSearch(folder);
    for (int position = 0; position < count; ++position) {
        std::string& path = paths[static_cast<size_t>(position)];
        // A file that opened, or is there, needs no other look; one that did not open may be
        // there all the same (held by another program), and only one that is not is searched.
        int64_t size = probes.answer(static_cast<size_t>(position));
        if (size < 0 && !platform::fileExists(path)) {
            if (std::optional<std::string> found = tailSearch.find(path)) {
                path = std::move(*found);
                if (report) {
                    const std::string orig =
                        decoded(store::readTrackField(listDb, position, TrackField::OrigFileName).toText());
                    report->relocated.push_back({position, std::string(trimControlChars(orig)), path});
                }
                size = probeFoundFile(path, measure, tags, probes, static_cast<size_t>(position));
            }
        }
        store::setTrackField(listDb, position, TrackField::OrigFileName,
                             store::StoreValue::fromText(std::move(path)));
        if (measure) {
            store::setTrackField(listDb, position, TrackField::Size,
                                 store::sizeValue(std::max<int64_t>(size, 0)));
        }
    }
    if (tags) {
        tags->tags = probes.takeTags();
    }
}

bool hasTrackList(store::TfdbObject& listDb) {
    int number = 0;
    return listDb.DSystem.Resolve(store::trackListPath, number) <= 0;
}

} // namespace

void ReadPlaylist(store::TfdbObject& listDb, const std::string& playlistPath, int64_t sizeLimit,
                  const ShowMessage& showMessage, PlaylistReport* report, TagsRead* tags) {
    OpenFile file(playlistPath);
    if (file.handle() == platform::InvalidFile) {
        throw cannotOpenFile(platform::shownPath(playlistPath), platform::lastErrorText());
    }
    if (!hasTrackList(listDb)) {
        showText(showMessage, texts::FormatText(texts::InternalErrorRow, {ListMissingNumber}));
    }
    const FirstPass pass = readEntries(file, playlistPath, listDb);
    file.close();
    if (!pass.playlist) {
        showText(showMessage, texts::GetText(NotAPlaylistText));
        return;
    }
    if (pass.longLinesSkipped > 0) {
        showText(showMessage,
                 texts::FormatText(LongLinesSkippedText, {std::to_string(pass.longLinesSkipped)}));
    }
    if (pass.cutInfoLines.count > 0) {
        showText(showMessage, cutDescriptionsMessage(playlistPath, pass.cutInfoLines));
    }
    const bool utf8 = pass.byteOrderMark || isUtf8Playlist(playlistPath);
    if (utf8 && pass.nonUtf8Lines.count > 0) {
        showText(showMessage, damagedLinesMessage(playlistPath, pass.nonUtf8Lines));
    }
    resolveEntries(listDb, playlistPath, sizeLimit, utf8, report, tags);
}

int64_t FileSizeOf(const std::string& path) {
    return std::max<int64_t>(platform::exclusiveFileLength(path), 0);
}

} // namespace sources
