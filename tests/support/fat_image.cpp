#include "support/fat_image.h"

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {
namespace fs = std::filesystem;
namespace {

using namespace std::chrono_literals;

// The program `name` in PATH or in the system folders, where mkfs.vfat lives; "" when absent.
std::string findTool(const std::string& name) {
    std::string folders = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    folders += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::istringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');) {
        std::string path = folder + "/" + name;
        if (!folder.empty() && ::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return {};
}

// Starts `args` with its standard streams on /dev/null; -1 when it cannot be started.
pid_t start(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) {
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Whether `pid` exited within `limit`; its wait status in `status`.
bool exitedWithin(pid_t pid, std::chrono::milliseconds limit, int& status) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// Ends a child that did not exit by itself: TERM, then KILL.
void stop(pid_t pid) {
    int status = 0;
    ::kill(pid, SIGTERM);
    if (!exitedWithin(pid, 2s, status)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
}

// Runs `args` to its end within `limit`; true when it exited with status 0.
bool run(const std::vector<std::string>& args, std::chrono::milliseconds limit) {
    pid_t pid = start(args);
    if (pid <= 0) {
        return false;
    }
    int status = 0;
    if (!exitedWithin(pid, limit, status)) {
        stop(pid);
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Read from the mount table rather than with stat, which a stuck driver would never answer.
bool isMountPoint(const std::string& folder) {
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
        }
        if (field == folder) {
            return true;
        }
    }
    return false;
}

// fusefat depends on fuse or fuse3; the latter names its unmount tool fusermount3.
std::string unmountTool() {
    std::string tool = findTool("fusermount");
    return tool.empty() ? findTool("fusermount3") : tool;
}

} // namespace

FatImage::FatImage(long sizeKiB) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tw-fat-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_whyNot = "cannot make a temporary folder " + pattern;
        return;
    }
    char resolved[PATH_MAX];
    m_folder = ::realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
    m_image = m_folder + "/fat32.img";
    m_mountFolder = m_folder + "/volume";
    mount(sizeKiB);
}

void FatImage::mount(long sizeKiB) {
    const std::string mkfs = findTool("mkfs.vfat");
    const std::string driver = findTool("fusefat");
    if (mkfs.empty() || driver.empty() || unmountTool().empty()) {
        m_whyNot = "mkfs.vfat, fusefat or fusermount is not installed (packages dosfstools, fusefat)";
        return;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        m_whyNot = "/dev/fuse is missing or not usable";
        return;
    }
    std::error_code error;
    fs::create_directory(m_mountFolder, error);
    if (error || !run({mkfs, "-F", "32", "-C", m_image, std::to_string(sizeKiB)}, 30s)) {
        m_whyNot = "mkfs.vfat could not make " + m_image;
        return;
    }
    // -f keeps the driver in the foreground, as the child of this process; -s runs it on one
    // thread, since the driver's FAT code is not known to be safe on several.
    const pid_t pid = start({driver, "-f", "-s", "-o", "rw+", m_image, m_mountFolder});
    if (pid <= 0) {
        m_whyNot = "fusefat could not be started";
        return;
    }
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!isMountPoint(m_mountFolder)) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            m_whyNot = "fusefat ended without mounting " + m_image;
            return;
        }
        if (std::chrono::steady_clock::now() > end) {
            stop(pid);
            m_whyNot = "fusefat did not mount " + m_image + " within 10 s";
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    m_driver = pid;
}

FatImage::~FatImage() {
    bool unmounted = !isMountPoint(m_mountFolder);
    if (m_driver > 0) {
        if (!unmounted) {
            unmounted = run({unmountTool(), "-u", m_mountFolder}, 10s) ||
                        run({unmountTool(), "-u", "-z", m_mountFolder}, 10s);
        }
        int status = 0;
        if (!exitedWithin(m_driver, 10s, status)) {
            stop(m_driver);
        }
    }
    // While something is still mounted there, removing the folder would walk into the volume.
    if (!m_folder.empty() && unmounted) {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }
}

} // namespace testsupport
