#include "support/file_checks.h"

#include <algorithm>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

std::string patternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::vector<std::string> filesUnder(const TempDrive& drive, std::string_view folder) {
    namespace fs = std::filesystem;
    fs::path root = drive.hostPath(folder);
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string relative = fs::relative(entry.path(), root).generic_string();
        found.push_back(entry.is_directory() ? relative + "/" : relative);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<std::string> runWithFileSizeLimit(uint64_t limitBytes,
                                                const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {limitBytes, limitBytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(2);
        }
        std::string answer = work();
        size_t sent = 0;
        while (sent < answer.size()) {
            ssize_t step = ::write(channel[1], answer.data() + sent, answer.size() - sent);
            if (step <= 0) {
                ::_exit(3);
            }
            sent += static_cast<size_t>(step);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string answer;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        answer.append(buffer, static_cast<size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return answer;
}

namespace {

// Sets or clears the append-only flag of a folder; false where the file system or the process's
// rights do not allow it.
bool setAppendOnly(const std::string& folder, bool on) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return done;
}

} // namespace

RemovalRefused::RemovalRefused(std::string hostFolder) : m_folder(std::move(hostFolder)) {
    m_appendOnly = setAppendOnly(m_folder, true);
    ::chmod(m_folder.c_str(), 0555);
}

RemovalRefused::~RemovalRefused() {
    ::chmod(m_folder.c_str(), 0755);
    if (m_appendOnly) {
        setAppendOnly(m_folder, false);
    }
}

bool RemovalRefused::effective() const {
    return m_appendOnly || ::geteuid() != 0;
}

std::string withHostRoot(std::string text, const TempDrive& drive) {
    for (size_t at = text.find("$D"); at != std::string::npos; at = text.find("$D", at)) {
        text.replace(at, 2, drive.hostRoot());
        at += drive.hostRoot().size();
    }
    return text;
}

std::vector<std::string> withHostRoot(std::vector<std::string> lines, const TempDrive& drive) {
    for (std::string& line : lines) {
        line = withHostRoot(std::move(line), drive);
    }
    return lines;
}

} // namespace testsupport
