#include "convert/conversion_pool.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace convert {

ConversionPool::ConversionPool(unsigned workers, ConvertFunction convert) : m_convert(std::move(convert)) {
    if (!m_convert) {
        m_convert = [](const ConvertJob& job, const ConvertProgress& progress, const CancelCheck& cancelled) {
            return convertFile(job, progress, cancelled);
        };
    }
    if (workers == 0) {
        workers = std::max(1U, std::thread::hardware_concurrency());
    }
    try {
        for (unsigned i = 0; i < workers; ++i) {
            m_threads.emplace_back([this] { work(); });
        }
    } catch (...) {
        stop();
        throw;
    }
}

ConversionPool::~ConversionPool() {
    stop();
}

void ConversionPool::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    cancelAll();
    m_queued.notify_all();
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void ConversionPool::submit(size_t index, ConvertJob job) {
    std::lock_guard lock(m_mutex);
    if (m_entries.contains(index)) {
        throw std::invalid_argument("The conversion pool already holds job " + std::to_string(index));
    }
    auto entry = std::make_unique<Entry>();
    entry->job = std::move(job);
    entry->progress.state = JobState::Queued;
    m_entries.emplace(index, std::move(entry));
    m_queue.push_back(index);
    m_queued.notify_one();
}

JobProgress ConversionPool::progressOf(size_t index) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(index);
    return found == m_entries.end() ? JobProgress{} : found->second->progress;
}

bool ConversionPool::waitFor(size_t index, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    bool ended = false;
    m_ended.wait_for(lock, timeout, [&] {
        const auto found = m_entries.find(index);
        ended = found != m_entries.end() && found->second->progress.state == JobState::Done;
        return found == m_entries.end() || ended;
    });
    return ended;
}

ConvertResult ConversionPool::wait(size_t index) {
    std::unique_lock lock(m_mutex);
    std::unique_ptr<Entry>* entry = nullptr;
    m_ended.wait(lock, [&] {
        const auto found = m_entries.find(index);
        entry = found == m_entries.end() ? nullptr : &found->second;
        return entry == nullptr || (*entry)->progress.state == JobState::Done;
    });
    if (entry == nullptr) {
        return {.status = ConvertStatus::Failed, .message = "No conversion " + std::to_string(index)};
    }
    ConvertResult result = *(*entry)->result;
    m_entries.erase(index);
    return result;
}

std::optional<ConvertResult> ConversionPool::result(size_t index) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(index);
    return found == m_entries.end() ? std::nullopt : found->second->result;
}

std::optional<ConvertResult> ConversionPool::takeResult(size_t index) {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(index);
    if (found == m_entries.end() || !found->second->result) {
        return std::nullopt;
    }
    std::optional<ConvertResult> result = std::move(found->second->result);
    m_entries.erase(found);
    return result;
}

void ConversionPool::cancel(size_t index) {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(index);
    if (found == m_entries.end()) {
        return;
    }
    Entry& entry = *found->second;
    if (entry.progress.state == JobState::Queued) {
        std::erase(m_queue, index);
        finish(entry, {.status = ConvertStatus::Cancelled});
    } else if (entry.progress.state == JobState::Running) {
        entry.cancelled = true;
    }
}

void ConversionPool::cancelAll() {
    std::lock_guard lock(m_mutex);
    for (auto& [index, entry] : m_entries) {
        if (entry->progress.state == JobState::Running) {
            entry->cancelled = true;
        } else if (entry->progress.state == JobState::Queued) {
            finish(*entry, {.status = ConvertStatus::Cancelled});
        }
    }
    m_queue.clear();
}

size_t ConversionPool::inFlight() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

void ConversionPool::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            return; // stopping
        }
        Entry& entry = *m_entries.at(m_queue.front());
        m_queue.pop_front();
        entry.progress.state = JobState::Running;
        lock.unlock();
        // The entry stays in the map while it runs: only an ended job can be taken.
        const auto progress = [this, &entry](int64_t positionMs, std::optional<int64_t> lengthMs) {
            std::lock_guard progressLock(m_mutex);
            entry.progress.positionMs = positionMs;
            entry.progress.lengthMs = lengthMs;
        };
        const auto cancelled = [&entry] { return entry.cancelled.load(); };
        ConvertResult result;
        try {
            result = m_convert(entry.job, progress, cancelled);
        } catch (const std::exception& error) {
            result = {.status = ConvertStatus::Failed, .message = error.what()};
        } catch (...) {
            result = {.status = ConvertStatus::Failed,
                      .message = "The conversion stopped with an unknown error"};
        }
        lock.lock();
        finish(entry, std::move(result));
    }
}

void ConversionPool::finish(Entry& entry, ConvertResult result) {
    entry.result = std::move(result);
    entry.progress.state = JobState::Done;
    m_ended.notify_all();
}

} // namespace convert
