#include "xvfb_server.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

namespace {

constexpr int StartTimeoutMs = 10000;

// Xvfb writes its display number and a line end to the descriptor given with -displayfd once
// it accepts connections.
std::string readDisplayNumber(int fd) {
    std::string number;
    pollfd wait{fd, POLLIN, 0};
    while (number.empty() || number.back() != '\n') {
        if (::poll(&wait, 1, StartTimeoutMs) <= 0) {
            return {};
        }
        char c;
        const ssize_t got = ::read(fd, &c, 1);
        if (got <= 0) {
            return {};
        }
        number += c;
    }
    number.pop_back();
    return number;
}

} // namespace

XvfbServer::XvfbServer(const std::string& screen) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        // The server must not hold the test's output open after the test has ended.
        const int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, STDIN_FILENO);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    const std::string number = m_pid > 0 ? readDisplayNumber(fds[0]) : std::string();
    ::close(fds[0]);
    if (number.empty()) {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        throw std::runtime_error("Xvfb did not start (is the package xvfb installed?)");
    }
    m_display = ":" + number;
    ::setenv("DISPLAY", m_display.c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
}

XvfbServer::~XvfbServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

} // namespace e2e
