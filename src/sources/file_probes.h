// Looking at many files on a thread of its own while the caller goes on with its own work: the
// playlist reader resolves its lines on one thread while the files they name are opened and
// measured on another, so that the waits on the file system and the work on the list overlap.
#pragma once

#include "sources/batch_queue.h"
#include "sources/tag_lookup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace sources {

class FileProbes {
public:
    // About `count` paths will be added (any number may be). With `measure`, each answer is the
    // file's length, opened with all sharing denied (platform::exclusiveFileLength), -1 when it
    // cannot be opened; without, 0 when a file is there (platform::fileExists) and -1 when none
    // is. With `tags`, each file is opened once through it, for its tags and its length both.
    FileProbes(bool measure, size_t count, TagLookup* tags = nullptr);
    ~FileProbes();
    FileProbes(const FileProbes&) = delete;
    FileProbes& operator=(const FileProbes&) = delete;

    // The next path, in order.
    void add(std::string path);
    // Waits until every path added is answered; then answer(n) is the n-th path's, and with
    // tags, tags(n) its tags.
    void finish();
    int64_t answer(size_t n) const { return m_answers[n]; }
    TrackTags& tags(size_t n) { return m_tags[n]; }

private:
    struct Batch {
        std::vector<std::string> paths;
    };
    void probe(const Batch& batch);
    void send();

    const bool m_measure;
    TagLookup* const m_lookup;
    // Filled by the worker alone, in the order added, and read only after it ended.
    std::vector<int64_t> m_answers;
    std::vector<TrackTags> m_tags;
    BatchQueue<Batch> m_queue;
    Batch m_pending;
    std::thread m_worker;
};

} // namespace sources
