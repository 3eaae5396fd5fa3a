// One look at a source file for a build that reads tags. A file the cache knows at its present
// length and modification time costs one stat (none where the folder's listing told them): its
// tags come from the cache. Any other file is opened once with all sharing denied, its length
// taken from that open and its tags from the reader (and then kept). The cache may be asked from
// two threads at once (the folder walk and the probe thread); the reader is used by one.
#pragma once

#include "sources/tag_cache.h"
#include "sources/tag_reader.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sources {

struct ProbedFile {
    int64_t length = -1; // -1 when the file did not open (lastError() says why)
    TrackTags tags;
};

class TagLookup {
public:
    // `cache` may be null: every file is then read.
    TagLookup(TagReader& reader, TagCache* cache) : m_reader(reader), m_cache(cache) {}

    // The file's length and tags. A file that does not open is not remembered, so that one held
    // by another program is read once it is free; a file that opened but gave no tags is. With
    // `exclusiveLength` the length is always that of an open with all sharing denied (the size
    // rule of a limit: a file held by another program counts as missing), cache hit or not.
    ProbedFile probe(const std::string& path, bool exclusiveLength = false);
    // The cache's tags of `path` when `stamp` (its length and time as a listing told them) is
    // still the one they were read at; none otherwise, or without a cache.
    std::optional<TrackTags> cached(const std::string& path, const FileStamp& stamp);

private:
    void keep(const std::string& path, const FileStamp& stamp, const TrackTags& tags);

    TagReader& m_reader;
    TagCache* m_cache;
    std::mutex m_cacheMutex;
};

struct TagOptions;

// A source read with tags: the lookup the files go through, and what it found, by list position;
// `described` marks the entries already described from their tags as they were added.
struct TagsRead {
    TagLookup& lookup;
    const TagOptions& options;
    std::vector<TrackTags> tags{};
    std::vector<bool> described{};
};

} // namespace sources
