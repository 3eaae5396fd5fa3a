#include "sources/tag_lookup.h"

#include "platform/files.h"

namespace sources {

ProbedFile TagLookup::probe(const std::string& path, bool exclusiveLength) {
    ProbedFile probed;
    FileStamp seen;
    if (m_cache && platform::fileLengthAndTime(path, seen.length, seen.modifiedTime)) {
        if (const TrackTags* cached = m_cache->find(path, seen)) {
            probed.tags = *cached;
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
    if (const TrackTags* cached = m_cache ? m_cache->find(path, stamp) : nullptr) {
        probed.tags = *cached;
    } else {
        probed.tags = m_reader.read(file, path);
        if (m_cache) {
            m_cache->store(path, stamp, probed.tags);
        }
    }
    platform::closeFile(file);
    return probed;
}

} // namespace sources
