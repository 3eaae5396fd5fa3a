// Looking at many files on threads of their own while the caller goes on with its own work: the
// playlist reader resolves its lines on one thread while the files they name are opened and
// measured on two others, so that the waits on the file system and the work on the list overlap.
// The paths go to the two in turn, a batch at a time; each answer lands at its path's place. A
// file that one of them finds held may be held by the other (the same file named twice, in
// batches measured at once), so it is looked at once more after both have finished.
#pragma once

#include "sources/batch_queue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace sources {

class FileProbes {
public:
    // `count` paths will be added. With `measure`, each answer is the file's length, opened with
    // all sharing denied (platform::exclusiveFileLength), -1 when it cannot be opened; without,
    // 0 when a file is there (platform::fileExists) and -1 when none is.
    FileProbes(bool measure, size_t count);
    ~FileProbes();
    FileProbes(const FileProbes&) = delete;
    FileProbes& operator=(const FileProbes&) = delete;

    // The next path, in order.
    void add(std::string path);
    // Waits until every path added is answered; then answer(n) is the n-th path's.
    void finish();
    int64_t answer(size_t n) const { return m_answers[n]; }

private:
    struct Batch {
        size_t first = 0;
        std::vector<std::string> paths;
    };
    void probe(const Batch& batch, std::vector<std::pair<size_t, std::string>>& held);
    void send();

    static constexpr size_t Workers = 2;

    const bool m_measure;
    std::vector<int64_t> m_answers;
    BatchQueue<Batch> m_queues[Workers];
    Batch m_pending;
    size_t m_added = 0;
    size_t m_sent = 0; // batches sent: the next goes to worker m_sent % Workers
    std::thread m_workers[Workers];
    std::vector<std::pair<size_t, std::string>> m_held[Workers]; // answer's place and path
};

} // namespace sources
