#include "app/termination_requests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace app {

namespace {

constexpr int WatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Read end [0] and write end [1] of the self-pipe; -1 while no instance exists.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(WatchedSignals)];

void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::drain);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i) {
        ::sigaction(WatchedSignals[i], &action, &g_previous[i]);
    }
}

TerminationRequests::~TerminationRequests() {
    if (g_pipe[0] < 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i) {
        ::sigaction(WatchedSignals[i], &g_previous[i], nullptr);
    }
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationRequests::drain() {
    char bytes[64];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit requested();
}

} // namespace app
