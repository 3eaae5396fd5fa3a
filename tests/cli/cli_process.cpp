#include "cli_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void startChild(const std::vector<std::string>& args, const CliOptions& options, int out,
                             int err) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::setsid(); // a pseudo-terminal on stderr does not become the test's controlling terminal
    if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) {
        ::_exit(126);
    }
    if (options.fileSizeLimit > 0) {
        struct rlimit limit = {options.fileSizeLimit, options.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    for (const std::string& variable : options.environment) {
        ::putenv(const_cast<char*>(variable.c_str()));
    }
    std::vector<char*> argv;
    std::string program = TUNEWAGON_CLI;
    argv.push_back(program.data());
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// The parent's end and the child's end of standard error: a pipe, or a pseudo-terminal.
void makeErrorChannel(bool terminal, int& parentEnd, int& childEnd) {
    if (!terminal) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        parentEnd = ends[0];
        childEnd = ends[1];
        return;
    }
    parentEnd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (parentEnd < 0 || ::grantpt(parentEnd) != 0 || ::unlockpt(parentEnd) != 0) {
        throw std::runtime_error("pseudo-terminal");
    }
    childEnd = ::open(::ptsname(parentEnd), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (childEnd < 0) {
        throw std::runtime_error("pseudo-terminal");
    }
}

} // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    if (options.stdoutPipeSize > 0) {
        ::fcntl(out[1], F_SETPIPE_SZ, options.stdoutPipeSize);
    }
    int errChild = -1;
    makeErrorChannel(options.stderrOnTerminal, m_err, errChild);
    m_child = ::fork();
    if (m_child == 0) {
        startChild(args, options, out[1], errChild);
    }
    ::close(out[1]);
    ::close(errChild);
    m_out = out[0];
}

CliProcess::~CliProcess() {
    if (m_child > 0) {
        ::kill(m_child, SIGKILL);
        ::waitpid(m_child, nullptr, 0);
    }
    if (m_out >= 0) {
        ::close(m_out);
    }
    if (m_err >= 0) {
        ::close(m_err);
    }
}

bool CliProcess::readSome(int timeoutMs) {
    struct pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    std::string* sinks[2] = {&m_result.out, &m_result.err};
    int* ends[2] = {&m_out, &m_err};
    if (m_out < 0 && m_err < 0) {
        return false;
    }
    if (::poll(fds, 2, timeoutMs) <= 0) {
        return true;
    }
    for (int i = 0; i < 2; ++i) {
        if (*ends[i] < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[65536];
        ssize_t count = ::read(*ends[i], buffer, sizeof buffer);
        if (count > 0) {
            sinks[i]->append(buffer, static_cast<size_t>(count));
        } else {
            // The end of a pipe, or EIO from a pseudo-terminal whose other side has closed.
            ::close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return true;
}

bool CliProcess::readUntil(const std::string& text) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (m_result.out.find(text) == std::string::npos) {
        if (Clock::now() > deadline || !readSome(100)) {
            return false;
        }
    }
    return true;
}

namespace {

// The scheduler state of a process ('R' running, 'S' sleeping, ...), '?' when unknown.
char processState(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t end = text.rfind(')'); // the name in brackets may hold blanks
    return end != std::string::npos && end + 2 < text.size() ? text[end + 2] : '?';
}

} // namespace

bool CliProcess::waitUntilOutputIsFull() {
    const int capacity = ::fcntl(m_out, F_GETPIPE_SZ);
    // Room for less than one more log line, the child asleep and nothing more arriving: it
    // waits on its write.
    constexpr int LineRoom = 256;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    int lastUnread = -1;
    while (Clock::now() < deadline) {
        int unread = 0;
        if (::ioctl(m_out, FIONREAD, &unread) != 0) {
            return false;
        }
        if (unread >= capacity - LineRoom && unread == lastUnread && processState(m_child) == 'S') {
            return true;
        }
        lastUnread = unread;
        ::usleep(20000);
    }
    return false;
}

void CliProcess::sendSignal(int signal) {
    ::kill(m_child, signal);
}

CliResult CliProcess::finish() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (readSome(100)) {
        if (Clock::now() > deadline) {
            ::kill(m_child, SIGKILL);
            break;
        }
    }
    int status = 0;
    ::waitpid(m_child, &status, 0);
    m_child = -1;
    if (WIFEXITED(status)) {
        m_result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        m_result.signal = WTERMSIG(status);
    }
    return m_result;
}

CliResult runCli(const std::vector<std::string>& args, const CliOptions& options) {
    CliProcess process(args, options);
    return process.finish();
}

} // namespace clitest
