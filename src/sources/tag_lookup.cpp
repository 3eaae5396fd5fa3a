#include "sources/tag_lookup.h"

#include "platform/files.h"

namespace sources {

ProbedFile TagLookup::probe(const std::string& path, bool exclusiveLength) {
    ProbedFile probed;
    FileStamp seen;
    if (m_cache && platform::fileLengthAndTime(path, seen.length, seen.modifiedTime)) {
        if (std::optional<TrackTags> known = cached(path, seen)) {
            probed.tags = std::move(*known);
            probed.length = exclusiveLength ? platform::exclusiveFileLength(path) : seen.length;
            return probed;
        }
    }
    const platform::FileHandle file = platform::openFileExclusive(path, &probed.length);
    if (file == platform::InvalidFile) {
        probed.length = -1;
        probed.tags.noTagsReason = noTagsBecauseUnopened();
        return probed;
    }
    const FileStamp stamp{probed.length, platform::fileModifiedTime(file)};
    if (std::optional<TrackTags> known = cached(path, stamp)) {
        probed.tags = std::move(*known);
    } else {
        probed.tags = m_reader.read(file, path);
        keep(path, stamp, probed.tags);
    }
    platform::closeFile(file);
    return probed;
}

std::optional<TrackTags> TagLookup::cached(const std::string& path, const FileStamp& stamp) {
    if (!m_cache) {
        return std::nullopt;
    }
    const std::lock_guard lock(m_cacheMutex);
    return m_cache->find(path, stamp);
}

void TagLookup::keep(const std::string& path, const FileStamp& stamp, const TrackTags& tags) {
    if (m_cache) {
        const std::lock_guard lock(m_cacheMutex);
        m_cache->store(path, stamp, tags);
    }
}

} // namespace sources
