// Requests from outside to end the process: SIGTERM, SIGINT and SIGHUP (a closed terminal or
// the end of the desktop session). While a TerminationSignals object lives, those signals no
// longer end the process; each one makes the descriptor readable() readable instead, so that
// an event loop can watch it and close the program in its own time. The handler only writes
// one byte to a pipe, which is safe inside a signal handler.
//
// One object may be active in a process at a time: a second one made while the first lives
// installs nothing and has no descriptor. Destroying the active one puts the earlier handlers
// back and closes the pipe.
#pragma once

namespace platform {

class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The descriptor to watch for reading; -1 when this object is not active (another one is,
    // or the pipe could not be made), and then the signals keep their earlier handling.
    int readable() const { return m_readEnd; }
    // Reads every pending request without blocking; true when there was at least one.
    bool takeRequests();

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
};

} // namespace platform
