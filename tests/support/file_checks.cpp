#include "support/file_checks.h"

#include <algorithm>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
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

} // namespace testsupport
