// Termination signals turned into a readable descriptor, one active watcher at a time, and the
// earlier handling back once the watcher is gone.
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>

namespace {

bool readableWithin(int descriptor, int timeoutMs) {
    pollfd watch{descriptor, POLLIN, 0};
    return ::poll(&watch, 1, timeoutMs) == 1 && (watch.revents & POLLIN) != 0;
}

int countingSignal = 0;
void countSignal(int) {
    ++countingSignal;
}

// Each watched signal makes the descriptor readable instead of ending the process; taking the
// requests empties it, and several signals before the take are one batch.
TEST(TerminationSignals, EachSignalBecomesAReadableRequest) {
    platform::TerminationSignals signals;
    ASSERT_GE(signals.readable(), 0);
    EXPECT_FALSE(readableWithin(signals.readable(), 0));
    EXPECT_FALSE(signals.takeRequests());
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        ASSERT_EQ(::raise(signal), 0);
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(readableWithin(signals.readable(), 1000));
        EXPECT_TRUE(signals.takeRequests());
        EXPECT_FALSE(readableWithin(signals.readable(), 0));
    }
}

// A second watcher while one is active takes nothing over; after the active one ends, the
// handler that was there before is in place again and a new watcher can start.
TEST(TerminationSignals, OneActiveWatcherAndTheEarlierHandlerRestored) {
    struct sigaction counting {};
    counting.sa_handler = countSignal;
    sigemptyset(&counting.sa_mask);
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGHUP, &counting, &before), 0);
    {
        platform::TerminationSignals first;
        ASSERT_GE(first.readable(), 0);
        platform::TerminationSignals second;
        EXPECT_EQ(second.readable(), -1);
        EXPECT_FALSE(second.takeRequests());
        ASSERT_EQ(::raise(SIGHUP), 0);
        EXPECT_TRUE(readableWithin(first.readable(), 1000));
        EXPECT_EQ(countingSignal, 0);
    }
    ASSERT_EQ(::raise(SIGHUP), 0);
    EXPECT_EQ(countingSignal, 1);
    {
        platform::TerminationSignals again;
        EXPECT_GE(again.readable(), 0);
    }
    ::sigaction(SIGHUP, &before, nullptr);
}

} // namespace
