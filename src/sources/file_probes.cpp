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

FileProbes::FileProbes(bool measure, size_t count)
    : m_measure(measure),
      m_answers(count, -1), m_queues{BatchQueue<Batch>(BatchesAhead), BatchQueue<Batch>(BatchesAhead)} {
    for (size_t k = 0; k < Workers; ++k) {
        m_workers[k] = std::thread([this, &queue = m_queues[k], &held = m_held[k]] {
            while (std::optional<Batch> batch = queue.take()) {
                probe(*batch, held);
            }
        });
    }
}

FileProbes::~FileProbes() {
    for (size_t k = 0; k < Workers; ++k) {
        if (m_workers[k].joinable()) {
            m_queues[k].abandon();
            m_queues[k].close();
            m_workers[k].join();
        }
    }
}

void FileProbes::probe(const Batch& batch, std::vector<std::pair<size_t, std::string>>& held) {
    for (size_t i = 0; i < batch.paths.size() && batch.first + i < m_answers.size(); ++i) {
        const std::string& path = batch.paths[i];
        int64_t& answer = m_answers[batch.first + i];
        answer = m_measure ? platform::exclusiveFileLength(path) : (platform::fileExists(path) ? 0 : -1);
        if (answer < 0 && m_measure && platform::lastError() == platform::FileError::InUse) {
            held.emplace_back(batch.first + i, path);
        }
    }
}

void FileProbes::send() {
    if (!m_pending.paths.empty()) {
        m_queues[m_sent++ % Workers].put(std::move(m_pending));
    }
    m_pending = Batch{m_added, {}};
}

void FileProbes::add(std::string path) {
    m_pending.paths.push_back(std::move(path));
    ++m_added;
    if (m_pending.paths.size() >= BatchSize) {
        send();
    }
}

void FileProbes::finish() {
    send();
    for (size_t k = 0; k < Workers; ++k) {
        m_queues[k].close();
        m_workers[k].join();
    }
    for (const auto& files : m_held) {
        for (const auto& [place, path] : files) {
            m_answers[place] = platform::exclusiveFileLength(path);
        }
    }
}

} // namespace sources
