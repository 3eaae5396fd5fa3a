// Conversions on a few worker threads, for a run that shows its log and bars in list order from
// one thread. The owner submits jobs under their list index, polls their progress without
// blocking, waits for the one it shows next, and takes its result.
//
// Jobs start in the order they were submitted and never more than `workers` at once, so the job
// the owner waits for is never held back by later ones. A finished job's result stays until it
// is taken; the owner bounds what the pool holds by submitting only while inFlight() is below
// the number of jobs it wants ahead of the one it shows.
#pragma once

#include "convert/converter.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace convert {

enum class JobState { Unknown, Queued, Running, Done };

struct JobProgress {
    JobState state = JobState::Unknown; // Unknown: never submitted, or its result was taken
    int64_t positionMs = 0;
    std::optional<int64_t> lengthMs{};
};

// The conversion a worker runs: convertFile, or a stand-in in tests.
using ConvertFunction =
    std::function<ConvertResult(const ConvertJob&, const ConvertProgress&, const CancelCheck&)>;

class ConversionPool {
public:
    // `workers` threads (0: one per processor core); `convert` defaults to convertFile.
    explicit ConversionPool(unsigned workers = 0, ConvertFunction convert = {});
    // Cancels every job and waits for the running ones to stop.
    ~ConversionPool();
    ConversionPool(const ConversionPool&) = delete;
    ConversionPool& operator=(const ConversionPool&) = delete;

    unsigned workers() const { return static_cast<unsigned>(m_threads.size()); }

    // Queues `job` under `index`; throws std::invalid_argument when the pool holds that index.
    void submit(size_t index, ConvertJob job);
    JobProgress progressOf(size_t index) const;
    // Waits up to `timeout` for the job to end; true when it has (false for an unknown index).
    bool waitFor(size_t index, std::chrono::milliseconds timeout);
    // Waits for the job to end and takes its result (as takeResult does); Failed for an
    // unknown index.
    ConvertResult wait(size_t index);
    // The result of an ended job, which stays in the pool; nullopt while it runs.
    std::optional<ConvertResult> result(size_t index) const;
    // The result of an ended job, removed from the pool; nullopt while it runs.
    std::optional<ConvertResult> takeResult(size_t index);
    // A queued job ends Cancelled at once; a running one is asked to stop and ends within
    // about 100 ms. An ended job keeps its result.
    void cancel(size_t index);
    void cancelAll();
    // Jobs submitted whose results were not taken yet.
    size_t inFlight() const;

private:
    struct Entry {
        ConvertJob job;
        JobProgress progress;
        std::atomic<bool> cancelled{false};
        std::optional<ConvertResult> result;
    };

    void stop();
    void work();
    void finish(Entry& entry, ConvertResult result);

    ConvertFunction m_convert;
    mutable std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_ended;
    std::map<size_t, std::unique_ptr<Entry>> m_entries;
    std::deque<size_t> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace convert
