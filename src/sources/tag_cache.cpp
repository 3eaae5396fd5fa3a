#include "sources/tag_cache.h"

#include "platform/files.h"
#include "store/store_file.h"

#include <cstring>
#include <type_traits>
#include <vector>

namespace sources {
namespace {

constexpr char Magic[8] = {'T', 'W', 'T', 'A', 'G', 'S', '\r', '\n'};
constexpr size_t HeaderSize = 24;
constexpr int64_t MaxFileBytes = int64_t{256} << 20;
// Path length, length, time and the field bits: the least an entry takes.
constexpr size_t MinEntryBytes = 4 + 8 + 8 + 2;

enum Field : uint16_t {
    Artist = 1 << 0,
    Title = 1 << 1,
    Album = 1 << 2,
    Track = 1 << 3,
    Disc = 1 << 4,
    Year = 1 << 5,
    LengthMs = 1 << 6,
    Bitrate = 1 << 7,
    SampleRate = 1 << 8,
    Channels = 1 << 9,
    Reason = 1 << 10,
};

class Writer {
public:
    template <typename T> void put(T value) {
        auto bits = static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value));
        for (size_t i = 0; i < sizeof(T); ++i, bits >>= 8) {
            m_out.push_back(static_cast<char>(bits & 0xFF));
        }
    }
    void text(std::string_view text) {
        put<uint32_t>(static_cast<uint32_t>(text.size()));
        m_out += text;
    }
    std::string& out() { return m_out; }

private:
    std::string m_out;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_bytes.size(); }
    size_t remaining() const { return m_bytes.size() - m_pos; }

    template <typename T> T get() {
        if (!take(sizeof(T))) {
            return T{};
        }
        uint64_t bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            bits |= uint64_t{static_cast<unsigned char>(m_bytes[m_pos - sizeof(T) + i])} << 8 * i;
        }
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(bits));
    }
    std::string text() { return std::string(textView()); }
    std::string_view textView() {
        const auto count = get<uint32_t>();
        return take(count) ? m_bytes.substr(m_pos - count, count) : std::string_view();
    }
    size_t position() const { return m_pos; }

private:
    bool take(size_t count) {
        if (!m_ok || count > remaining()) {
            m_ok = false;
            return false;
        }
        m_pos += count;
        return true;
    }
    std::string_view m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

void putTags(Writer& out, const TrackTags& tags) {
    uint16_t present = 0;
    const auto mark = [&present](bool has, Field field) { present |= has ? field : 0; };
    mark(tags.artist.has_value(), Artist);
    mark(tags.title.has_value(), Title);
    mark(tags.album.has_value(), Album);
    mark(tags.track.has_value(), Track);
    mark(tags.disc.has_value(), Disc);
    mark(tags.year.has_value(), Year);
    mark(tags.lengthMs.has_value(), LengthMs);
    mark(tags.bitrate.has_value(), Bitrate);
    mark(tags.sampleRate.has_value(), SampleRate);
    mark(tags.channels.has_value(), Channels);
    mark(!tags.noTagsReason.empty(), Reason);
    out.put<uint16_t>(present);
    for (const auto* text : {&tags.artist, &tags.title, &tags.album}) {
        if (*text) {
            out.text(**text);
        }
    }
    for (const auto* number : {&tags.track, &tags.disc, &tags.year}) {
        if (*number) {
            out.put<int32_t>(**number);
        }
    }
    if (tags.lengthMs) {
        out.put<int64_t>(*tags.lengthMs);
    }
    for (const auto* number : {&tags.bitrate, &tags.sampleRate, &tags.channels}) {
        if (*number) {
            out.put<int32_t>(**number);
        }
    }
    if (!tags.noTagsReason.empty()) {
        out.text(tags.noTagsReason);
    }
}

TrackTags getTags(Reader& in) {
    const auto present = in.get<uint16_t>();
    TrackTags tags;
    const auto text = [&](Field field, std::optional<std::string>& to) {
        if (present & field) {
            to = in.text();
        }
    };
    const auto number = [&](Field field, std::optional<int>& to) {
        if (present & field) {
            to = in.get<int32_t>();
        }
    };
    text(Artist, tags.artist);
    text(Title, tags.title);
    text(Album, tags.album);
    number(Track, tags.track);
    number(Disc, tags.disc);
    number(Year, tags.year);
    if (present & LengthMs) {
        tags.lengthMs = in.get<int64_t>();
    }
    number(Bitrate, tags.bitrate);
    number(SampleRate, tags.sampleRate);
    number(Channels, tags.channels);
    if (present & Reason) {
        tags.noTagsReason = in.text();
    }
    return tags;
}

// Passes over one entry's tags as getTags reads them, keeping nothing; false when they run
// past the end.
bool skipTags(Reader& in) {
    const auto present = in.get<uint16_t>();
    for (const Field field : {Artist, Title, Album}) {
        if (present & field) {
            in.textView();
        }
    }
    for (const Field field : {Track, Disc, Year, Bitrate, SampleRate, Channels}) {
        if (present & field) {
            in.get<int32_t>();
        }
    }
    if (present & LengthMs) {
        in.get<int64_t>();
    }
    if (present & Reason) {
        in.textView();
    }
    return in.ok();
}

// The payload of a file whose header agrees with it; empty when it does not.
std::string_view sealedPayload(std::string_view bytes) {
    if (bytes.size() < HeaderSize || std::memcmp(bytes.data(), Magic, sizeof Magic) != 0) {
        return {};
    }
    Reader header(bytes.substr(sizeof Magic, HeaderSize - sizeof Magic));
    const auto version = header.get<uint32_t>();
    const auto length = header.get<uint64_t>();
    const auto checksum = header.get<uint32_t>();
    const std::string_view payload = bytes.substr(HeaderSize);
    const bool agrees =
        version == TagCache::Version && length == payload.size() && checksum == store::crc32(payload);
    return agrees ? payload : std::string_view();
}

} // namespace

TagCache::TagCache(const std::string& folder) {
    m_filePath = folder;
    if (!m_filePath.empty() && m_filePath.back() != '\\') {
        m_filePath += '\\';
    }
    m_filePath += FileName;
    load();
}

void TagCache::load() {
    if (!platform::readWholeFile(m_filePath, m_loaded, MaxFileBytes)) {
        m_loaded.clear();
        return;
    }
    const std::string_view payload = sealedPayload(m_loaded);
    Reader in(payload);
    const auto count = in.get<uint32_t>();
    if (!in.ok() || count > in.remaining() / MinEntryBytes) {
        return;
    }
    std::unordered_map<std::string_view, Entry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count && in.ok(); ++i) {
        const std::string_view path = in.textView();
        Entry entry;
        entry.stamp.length = in.get<int64_t>();
        entry.stamp.modifiedTime = in.get<int64_t>();
        const size_t tagsAt = in.position();
        if (skipTags(in)) {
            entry.loaded = payload.substr(tagsAt, in.position() - tagsAt);
            entries[path] = entry;
        }
    }
    if (in.ok() && in.atEnd()) {
        m_entries = std::move(entries);
    }
}

std::optional<TrackTags> TagCache::find(std::string_view path, const FileStamp& stamp) {
    const auto found = m_entries.find(path);
    if (found == m_entries.end() || !(found->second.stamp == stamp)) {
        return std::nullopt;
    }
    Entry& entry = found->second;
    entry.used = true;
    if (entry.stored) {
        return entry.stored;
    }
    Reader in(entry.loaded);
    return getTags(in);
}

void TagCache::store(const std::string& path, const FileStamp& stamp, const TrackTags& tags) {
    auto found = m_entries.find(path);
    if (found == m_entries.end()) {
        found = m_entries.emplace(m_paths.emplace_back(path), Entry{}).first;
    }
    found->second = Entry{stamp, {}, tags, true};
    m_changed = true;
}

std::string TagCache::encode() const {
    std::vector<const std::pair<const std::string_view, Entry>*> kept;
    for (const bool used : {true, false}) {
        for (const auto& entry : m_entries) {
            if (entry.second.used == used && kept.size() < MaxEntries) {
                kept.push_back(&entry);
            }
        }
    }
    Writer payload;
    payload.put<uint32_t>(static_cast<uint32_t>(kept.size()));
    for (const auto* entry : kept) {
        payload.text(entry->first);
        payload.put<int64_t>(entry->second.stamp.length);
        payload.put<int64_t>(entry->second.stamp.modifiedTime);
        if (entry->second.stored) {
            putTags(payload, *entry->second.stored);
        } else {
            payload.out() += entry->second.loaded;
        }
    }
    Writer file;
    file.out().assign(Magic, sizeof Magic);
    file.put<uint32_t>(Version);
    file.put<uint64_t>(payload.out().size());
    file.put<uint32_t>(store::crc32(payload.out()));
    return file.out() + payload.out();
}

bool TagCache::save() {
    if (!m_changed) {
        return true;
    }
    if (!platform::writeFileAtomically(m_filePath, encode())) {
        return false;
    }
    m_changed = false;
    return true;
}

} // namespace sources
