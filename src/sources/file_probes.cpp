#include "sources/file_probes.h"

#include "platform/files.h"

#include <optional>

namespace sources {

namespace {

// Paths a batch carries: few enough to keep the two threads in step, enough that handing them
// over costs nothing against the calls they take.
constexpr size_t BatchSize = 256;
constexpr size_t BatchesAhead = 64;

} // namespace

FileProbes::FileProbes(bool measure, size_t count, TagLookup* tags)
    : m_measure(measure), m_lookup(tags), m_queue(BatchesAhead) {
    m_answers.reserve(count);
    if (m_lookup) {
        m_tags.reserve(count);
    }
    m_worker = std::thread([this] {
        while (std::optional<Batch> batch = m_queue.take()) {
            probe(*batch);
        }
    });
}

FileProbes::~FileProbes() {
    if (m_worker.joinable()) {
        m_queue.abandon();
        m_queue.close();
        m_worker.join();
    }
}

void FileProbes::probe(const Batch& batch) {
    for (const std::string& path : batch.paths) {
        if (!m_lookup) {
            m_answers.push_back(m_measure ? platform::exclusiveFileLength(path)
                                          : (platform::fileExists(path) ? 0 : -1));
            continue;
        }
        ProbedFile probed = m_lookup->probe(path, m_measure);
        // A file held by another program does not open, yet is there.
        const bool present = probed.length >= 0 || platform::fileExists(path);
        m_answers.push_back(m_measure ? probed.length : (present ? 0 : -1));
        m_tags.push_back(std::move(probed.tags));
    }
}

void FileProbes::send() {
    if (!m_pending.paths.empty()) {
        m_queue.put(std::move(m_pending));
    }
    m_pending = Batch{};
}

void FileProbes::add(std::string path) {
    m_pending.paths.push_back(std::move(path));
    if (m_pending.paths.size() >= BatchSize) {
        send();
    }
}

void FileProbes::finish() {
    send();
    m_queue.close();
    m_worker.join();
}

} // namespace sources
