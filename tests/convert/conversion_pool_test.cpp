#include "convert/conversion_pool.h"

#include "support/audio_fixtures.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using convert::ConversionPool;
using convert::ConvertJob;
using convert::ConvertResult;
using convert::ConvertStatus;
using convert::JobState;
using namespace std::chrono_literals;

// A stand-in conversion that runs until the test releases it or the pool cancels it, and
// records which jobs started and how many ran at once. A job named "fail" fails, one named
// "throw" throws.
class GatedConversions {
public:
    convert::ConvertFunction function() {
        return [this](const ConvertJob& job, const convert::ConvertProgress& progress,
                      const convert::CancelCheck& cancelled) { return run(job, progress, cancelled); };
    }
    void release(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_released.insert(name);
        m_changed.notify_all();
    }
    // Waits until `count` jobs run at the same time; false after 5 s.
    bool awaitRunning(int count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [&] { return m_running == count; });
    }
    std::vector<std::string> started() const {
        std::lock_guard lock(m_mutex);
        return m_started;
    }
    int mostAtOnce() const {
        std::lock_guard lock(m_mutex);
        return m_most;
    }

private:
    ConvertResult run(const ConvertJob& job, const convert::ConvertProgress& progress,
                      const convert::CancelCheck& cancelled) {
        const std::string& name = job.sourcePath;
        {
            std::lock_guard lock(m_mutex);
            m_started.push_back(name);
            m_most = std::max(m_most, ++m_running);
        }
        progress(500, 1000);
        std::unique_lock lock(m_mutex);
        m_changed.notify_all();
        bool stopped = false;
        // The cancel check belongs to the pool: poll it as a real conversion does.
        while (!m_released.contains(name) && !(stopped = cancelled())) {
            m_changed.wait_for(lock, 5ms);
        }
        --m_running;
        m_changed.notify_all();
        if (stopped) {
            return {.status = ConvertStatus::Cancelled};
        }
        if (name == "throw") {
            throw std::runtime_error("the encoder threw");
        }
        if (name == "fail") {
            return {.status = ConvertStatus::Failed, .message = "failed as asked"};
        }
        return {.status = ConvertStatus::Ok};
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_released;
    std::vector<std::string> m_started;
    int m_running = 0;
    int m_most = 0;
};

ConvertJob named(const std::string& name) {
    return {.sourcePath = name};
}

// No more jobs run than there are workers, they start in the order submitted, the owner sees
// their progress, and each index gets its own result.
TEST(ConversionPool, RunsAtMostItsWorkersInSubmissionOrder) {
    GatedConversions conversions;
    ConversionPool pool(2, conversions.function());
    const std::vector<std::string> names = {"a", "fail", "c", "throw", "e"};
    for (size_t i = 0; i < names.size(); ++i) {
        pool.submit(i, named(names[i]));
    }
    ASSERT_TRUE(conversions.awaitRunning(2));
    EXPECT_EQ(pool.progressOf(0).state, JobState::Running);
    EXPECT_EQ(pool.progressOf(0).positionMs, 500);
    EXPECT_EQ(pool.progressOf(0).lengthMs, 1000);
    EXPECT_EQ(pool.progressOf(2).state, JobState::Queued);
    EXPECT_EQ(pool.progressOf(9).state, JobState::Unknown);
    EXPECT_FALSE(pool.waitFor(0, 20ms));
    EXPECT_EQ(pool.result(0), std::nullopt);

    // The second ends first: the third starts in its place, not a later one.
    conversions.release("fail");
    ASSERT_TRUE(pool.waitFor(1, 5s));
    ASSERT_TRUE(conversions.awaitRunning(2));
    EXPECT_EQ(conversions.started().at(2), "c");
    for (const std::string& name : names) {
        conversions.release(name);
    }
    EXPECT_EQ(pool.wait(4).status, ConvertStatus::Ok);
    EXPECT_EQ(pool.wait(0).status, ConvertStatus::Ok);
    EXPECT_EQ(pool.inFlight(), 3U);
    const ConvertResult failed = pool.wait(1);
    EXPECT_EQ(failed.status, ConvertStatus::Failed);
    EXPECT_EQ(failed.message, "failed as asked");
    ASSERT_TRUE(pool.waitFor(3, 5s));
    EXPECT_EQ(pool.result(3)->message, "the encoder threw");
    EXPECT_EQ(pool.takeResult(3)->status, ConvertStatus::Failed);
    EXPECT_EQ(pool.takeResult(3), std::nullopt);
    EXPECT_EQ(pool.wait(2).status, ConvertStatus::Ok);
    EXPECT_EQ(pool.inFlight(), 0U);
    EXPECT_EQ(pool.wait(2).status, ConvertStatus::Failed); // taken already
    // Two threads that take two jobs in order may record them either way round.
    std::vector<std::string> started = conversions.started();
    ASSERT_EQ(started.size(), 5U);
    std::sort(started.begin(), started.begin() + 2);
    std::sort(started.begin() + 3, started.end());
    EXPECT_EQ(started, (std::vector<std::string>{"a", "fail", "c", "e", "throw"}));
    EXPECT_EQ(conversions.mostAtOnce(), 2);
}

// A queued job ends Cancelled without running; a running one is stopped; the pool goes on with
// the next, and a pool destroyed with jobs running stops them.
TEST(ConversionPool, CancelsQueuedAndRunningJobs) {
    GatedConversions conversions;
    {
        ConversionPool pool(1, conversions.function());
        pool.submit(0, named("a"));
        pool.submit(1, named("b"));
        pool.submit(2, named("c"));
        EXPECT_THROW(pool.submit(1, named("again")), std::invalid_argument);
        ASSERT_TRUE(conversions.awaitRunning(1));

        pool.cancel(2);
        EXPECT_EQ(pool.progressOf(2).state, JobState::Done);
        EXPECT_EQ(pool.result(2)->status, ConvertStatus::Cancelled);
        pool.cancel(0);
        EXPECT_EQ(pool.wait(0).status, ConvertStatus::Cancelled);
        ASSERT_TRUE(conversions.awaitRunning(1)); // b started
        pool.cancelAll();
        EXPECT_EQ(pool.wait(1).status, ConvertStatus::Cancelled);
        EXPECT_EQ(conversions.started(), (std::vector<std::string>{"a", "b"}));

        // After an abort the pool takes new jobs, and ends while they run.
        pool.submit(3, named("d"));
        pool.submit(4, named("e"));
        ASSERT_TRUE(conversions.awaitRunning(1));
    }
    EXPECT_EQ(conversions.started(), (std::vector<std::string>{"a", "b", "d"}));
}

// Real conversions on two threads at once, watched as a run watches them: the progress of the
// awaited job is polled until it ends, and never goes back or past the length. Each file is
// whole and of its source's length.
TEST(ConversionPool, ConvertsFilesOnTwoThreads) {
    testsupport::TempDrive drive{'D'};
    ConversionPool pool(2);
    constexpr size_t Files = 4;
    const auto seconds = [](size_t i) { return 10 + 5 * static_cast<int>(i); };
    for (size_t i = 0; i < Files; ++i) {
        const std::string source = drive.hostPath("source " + std::to_string(i) + ".wav");
        testsupport::encodeTone(source, {.encoder = "wavenc", .buffers = seconds(i) * 10});
        pool.submit(i, {.sourcePath = source,
                        .destPath = drive.hostPath("out " + std::to_string(i) + ".mp3"),
                        .format = convert::defaultFormat(convert::ConvertTarget::Mp3),
                        .tags = {.title = "Track " + std::to_string(i)}});
    }
    for (size_t i = 0; i < Files; ++i) {
        int64_t lastPosition = 0;
        while (!pool.waitFor(i, 10ms)) {
            const convert::JobProgress progress = pool.progressOf(i);
            EXPECT_GE(progress.positionMs, lastPosition) << i;
            EXPECT_LE(progress.positionMs, seconds(i) * 1000 + 100) << i;
            lastPosition = progress.positionMs;
        }
        EXPECT_NEAR(static_cast<double>(pool.progressOf(i).positionMs), seconds(i) * 1000, 100) << i;
        const ConvertResult result = pool.wait(i);
        ASSERT_TRUE(result.ok()) << i << ": " << result.message;
        const auto length = convert::mediaLengthMs(drive.hostPath("out " + std::to_string(i) + ".mp3"));
        ASSERT_TRUE(length.has_value()) << i;
        EXPECT_NEAR(static_cast<double>(*length), seconds(i) * 1000, 100) << i;
    }
}

} // namespace
