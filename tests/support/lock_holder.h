// Another process that holds a host file open with an exclusive flock (all sharing denied, as
// the program opens files), for the tests of what the program does with a file in use.
#pragma once

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Holds the lock from construction until destroyed; locked() tells whether it got it.
class LockHolder {
public:
    explicit LockHolder(const std::string& hostPath) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(release[1]); // so that the parent's close is the end of the pipe
            int fd = ::open(hostPath.c_str(), O_RDONLY);
            char answer = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            char ignored;
            if (::write(ready[1], &answer, 1) == 1 && ::read(release[0], &ignored, 1) >= 0) {
                ::_exit(0);
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char answer = 'n';
        m_locked = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~LockHolder() {
        ::close(m_release);
        ::waitpid(m_pid, nullptr, 0);
    }
    bool locked() const { return m_locked; }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_locked = false;
};

} // namespace testsupport
