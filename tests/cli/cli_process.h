// tunewagon-cli run as a child process, the way a script or a person at a terminal runs it:
// its standard output and standard error captured through pipes (or standard error on a
// pseudo-terminal), its exit status, and signals sent to it while it runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace clitest {

struct CliOptions {
    std::string folder;            // the child's current folder; "" keeps the test's
    int stdoutPipeSize = 0;        // bytes the stdout pipe holds; 0 keeps the default
    bool stderrOnTerminal = false; // standard error on a pseudo-terminal instead of a pipe
    uint64_t fileSizeLimit = 0;    // RLIMIT_FSIZE in bytes; 0 for none
    // Variables set in the child's environment ("NAME=value").
    std::vector<std::string> environment{};
};

struct CliResult {
    int exitCode = -1; // when it exited; -1 when a signal ended it
    int signal = 0;    // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const CliOptions& options = {});
    ~CliProcess(); // kills the child if it still runs
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Reads until standard output holds `text`; false when it ended or 30 s passed first.
    bool readUntil(const std::string& text);
    // Stops reading and waits until standard output's pipe is full, so that the child waits
    // on its next write; false when that did not happen within 30 s.
    bool waitUntilOutputIsFull();
    void sendSignal(int signal);
    // Reads both streams to their ends and waits for the child (killed after 60 s).
    CliResult finish();

private:
    // Reads what is ready within `timeoutMs`; false when both streams have ended.
    bool readSome(int timeoutMs);

    pid_t m_child = -1;
    int m_out = -1;
    int m_err = -1;
    CliResult m_result;
};

// Runs the program to its end.
CliResult runCli(const std::vector<std::string>& args, const CliOptions& options = {});

} // namespace clitest
