#include "platform/termination_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace platform {

namespace {

constexpr int WatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the active object's pipe, -1 while none is active. An atomic int is
// lock-free here, so the handler may read it.
std::atomic<int> g_writeEnd{-1};
struct sigaction g_previous[std::size(WatchedSignals)];

void onSignal(int) {
    const int savedErrno = errno;
    const int writeEnd = g_writeEnd.load();
    if (writeEnd >= 0) {
        const char byte = 1;
        // A full pipe already holds a request; losing this byte loses nothing.
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals() {
    static_assert(std::atomic<int>::is_always_lock_free);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    int expected = -1;
    if (!g_writeEnd.compare_exchange_strong(expected, ends[1])) {
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    m_readEnd = ends[0];
    m_writeEnd = ends[1];

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i) {
        ::sigaction(WatchedSignals[i], &action, &g_previous[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (m_readEnd < 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i) {
        ::sigaction(WatchedSignals[i], &g_previous[i], nullptr);
    }
    g_writeEnd.store(-1);
    ::close(m_readEnd);
    ::close(m_writeEnd);
}

bool TerminationSignals::takeRequests() {
    if (m_readEnd < 0) {
        return false;
    }
    bool any = false;
    char bytes[64];
    ssize_t count = 0;
    while ((count = ::read(m_readEnd, bytes, sizeof bytes)) > 0 || (count < 0 && errno == EINTR)) {
        any = any || count > 0;
    }
    return any;
}

} // namespace platform
