#include "sources/file_probes.h"

#include "platform/files.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace sources {

namespace {

// Paths a batch carries: few enough to keep the threads in step, enough that handing them over
// costs nothing against the calls they take.
constexpr size_t BatchSize = 256;
constexpr size_t BatchesAhead = 64;

} // namespace

FileProbes::FileProbes(bool measure, size_t count, TagLookup* tags) : m_measure(measure), m_lookup(tags) {
    m_answers.reserve(count);
    const size_t workers = m_lookup ? 1 : MostWorkers;
    for (size_t k = 0; k < workers; ++k) {
        m_workers.emplace_back(BatchesAhead);
    }
    for (Worker& worker : m_workers) {
        worker.thread = std::thread([this, &worker] {
            while (std::optional<Batch> batch = worker.queue.take()) {
                probe(*batch, worker);
                worker.done.push_back(std::move(*batch));
            }
        });
    }
}

FileProbes::~FileProbes() {
    for (Worker& worker : m_workers) {
        worker.queue.abandon();
    }
    stop();
}

void FileProbes::stop() {
    for (Worker& worker : m_workers) {
        if (worker.thread.joinable()) {
            worker.queue.close();
            worker.thread.join();
        }
    }
}

void FileProbes::probe(Batch& batch, Worker& worker) {
    batch.answers.reserve(batch.paths.size());
    for (size_t i = 0; i < batch.paths.size(); ++i) {
        const std::string& path = batch.paths[i];
        if (!m_lookup) {
            const int64_t answer =
                m_measure ? platform::exclusiveFileLength(path) : (platform::fileExists(path) ? 0 : -1);
            if (answer < 0 && m_measure && platform::lastError() == platform::FileError::InUse) {
                worker.held.emplace_back(batch.first + i, path);
            }
            batch.answers.push_back(answer);
            continue;
        }
        ProbedFile probed = m_lookup->probe(path, m_measure);
        // A file held by another program does not open, yet is there.
        const bool present = probed.length >= 0 || platform::fileExists(path);
        batch.answers.push_back(m_measure ? probed.length : (present ? 0 : -1));
        batch.tags.push_back(std::move(probed.tags));
    }
}

void FileProbes::send() {
    if (!m_pending.paths.empty()) {
        m_workers[m_sent++ % m_workers.size()].queue.put(std::move(m_pending));
    }
    m_pending = Batch{m_added, {}, {}, {}};
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
    stop();
    // The batches in list order, each let go as soon as it is copied over: a long list's tags
    // are never held twice (a vector reserved but not yet written takes no memory).
    std::vector<Batch*> batches;
    for (Worker& worker : m_workers) {
        for (Batch& batch : worker.done) {
            batches.push_back(&batch);
        }
    }
    std::sort(batches.begin(), batches.end(),
              [](const Batch* a, const Batch* b) { return a->first < b->first; });
    m_answers.clear();
    m_answers.reserve(m_added);
    m_tags.clear();
    if (m_lookup) {
        m_tags.reserve(m_added);
    }
    for (Batch* batch : batches) {
        m_answers.insert(m_answers.end(), batch->answers.begin(), batch->answers.end());
        if (m_lookup) {
            std::move(batch->tags.begin(), batch->tags.end(), std::back_inserter(m_tags));
        }
        *batch = Batch{};
    }
    for (Worker& worker : m_workers) {
        worker.done.clear();
        for (const auto& [place, path] : worker.held) {
            m_answers[place] = platform::exclusiveFileLength(path);
        }
    }
}

} // namespace sources
