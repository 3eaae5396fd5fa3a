// The tags read in earlier builds, kept in a file of the settings folder, so that a library
// built again is not read again: an entry holds while its file keeps its length and its
// modification time.
//
// The file (little-endian throughout):
//   header  8 bytes magic "TWTAGS\r\n", u32 version (1), u64 payload length, u32 CRC-32 of the
//           payload
//   payload u32 entry count; each entry: text path, i64 length, i64 modification time (ns),
//           u16 the fields present (bit k for field k below), then the present ones in order:
//           artist, title, album (texts), track, disc, year (i32), length in ms (i64),
//           bitrate, sample rate, channels (i32), no-tags reason (text)
//   text    u32 byte count, then the UTF-8 bytes
// A file that is missing, of another version, damaged anywhere or followed by stray bytes
// reads as an empty cache (and is replaced by the next save).
#pragma once

#include "sources/tag_reader.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace sources {

// What the cache compares to tell that a file is still the one it read.
struct FileStamp {
    int64_t length = -1;
    int64_t modifiedTime = -1; // ns since 1970-01-01 UTC
    bool operator==(const FileStamp&) const = default;
};

class TagCache {
public:
    static constexpr const char* FileName = "tags.cache";
    static constexpr uint32_t Version = 1;
    // Entries beyond this are dropped on saving, those not looked up in this session first.
    static constexpr size_t MaxEntries = 200'000;

    // Loads FileName in `folder` (a program path, the settings folder). The file is checked
    // whole, but an entry's tags are decoded only when it is looked up.
    explicit TagCache(const std::string& folder);
    TagCache(const TagCache&) = delete;
    TagCache& operator=(const TagCache&) = delete;

    // The tags stored for `path` when its stamp is still `stamp`; none otherwise.
    std::optional<TrackTags> find(std::string_view path, const FileStamp& stamp);
    void store(const std::string& path, const FileStamp& stamp, const TrackTags& tags);
    // Writes the file atomically when this session stored anything; false when that failed
    // (the cache is only an aid: the build goes on without it).
    bool save();

    size_t size() const { return m_entries.size(); }
    const std::string& filePath() const { return m_filePath; }

private:
    // An entry of the loaded file is its tags' record there; one stored since, its own tags.
    struct Entry {
        FileStamp stamp;
        std::string_view loaded; // the record's bytes in m_loaded
        std::optional<TrackTags> stored;
        bool used = false;
    };
    void load();
    std::string encode() const;

    std::string m_filePath;
    std::string m_loaded;            // the file's bytes; the loaded entries' keys point into it
    std::deque<std::string> m_paths; // the keys of paths stored since (a deque: they never move)
    std::unordered_map<std::string_view, Entry> m_entries;
    bool m_changed = false;
};

} // namespace sources
