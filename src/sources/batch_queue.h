// A bounded queue that hands batches from one thread to another in the order they were put:
// the folder source lists folders on one thread while the caller's thread adds their files to
// the list. The bound keeps a fast producer from holding a whole tree in memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace sources {

template <class Batch> class BatchQueue {
public:
    explicit BatchQueue(size_t capacity) : m_capacity(capacity) {}

    // Waits for room; false (the batch dropped) once the taker has given up.
    bool put(Batch batch) {
        std::unique_lock lock(m_mutex);
        m_roomOrStop.wait(lock, [&] { return m_batches.size() < m_capacity || m_abandoned; });
        if (m_abandoned) {
            return false;
        }
        m_batches.push_back(std::move(batch));
        m_filled.notify_one();
        return true;
    }
    // No more batches will come.
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_filled.notify_one();
    }
    // The next batch, waiting for it; nullopt when the queue is closed and empty.
    std::optional<Batch> take() {
        std::unique_lock lock(m_mutex);
        m_filled.wait(lock, [&] { return !m_batches.empty() || m_closed; });
        if (m_batches.empty()) {
            return std::nullopt;
        }
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_roomOrStop.notify_one();
        return batch;
    }
    // The taker stops taking: a waiting or later put returns false at once.
    void abandon() {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
        m_batches.clear();
        m_roomOrStop.notify_all();
    }

private:
    const size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_filled;
    std::condition_variable m_roomOrStop;
    std::deque<Batch> m_batches;
    bool m_closed = false;
    bool m_abandoned = false;
};

} // namespace sources
