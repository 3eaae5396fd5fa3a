// Looking at many files on threads of their own while the caller goes on with its own work: the
// playlist reader resolves its lines on one thread while the files they name are opened and
// measured on two others, so that the waits on the file system and the work on the list overlap.
// The paths go to the probe threads in turn, a batch at a time; each answer lands at its path's
// place. A file that one thread finds held may be held by the other (the same file named twice,
// in batches looked at together), so it is looked at once more after both have finished. Files
// read for their tags go to one thread only: the tag reader reads one file at a time.
#pragma once

#include "sources/batch_queue.h"
#include "sources/tag_lookup.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <thread>
#include <utility>
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
    // Every path's tags, taken out (the probes keep none).
    std::vector<TrackTags> takeTags() { return std::move(m_tags); }

private:
    static constexpr size_t MostWorkers = 2;

    struct Batch {
        size_t first = 0; // the place of its first path
        std::vector<std::string> paths;
        std::vector<int64_t> answers;
        std::vector<TrackTags> tags;
    };
    // What one probe thread owns until it has ended.
    struct Worker {
        explicit Worker(size_t capacity) : queue(capacity) {}
        BatchQueue<Batch> queue;
        std::vector<Batch> done;
        std::vector<std::pair<size_t, std::string>> held; // files found held: place and path
        std::thread thread;
    };
    void probe(Batch& batch, Worker& worker);
    void send();
    void stop();

    const bool m_measure;
    TagLookup* const m_lookup;
    std::deque<Worker> m_workers; // a deque: a worker never moves, its thread holds it
    Batch m_pending;
    size_t m_added = 0;
    size_t m_sent = 0; // batches sent: the next goes to worker m_sent % m_workers.size()
    // Put together by finish(), once every worker has ended.
    std::vector<int64_t> m_answers;
    std::vector<TrackTags> m_tags;
};

} // namespace sources
