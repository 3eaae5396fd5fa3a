#include "support/null_audio_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr auto StartTimeout = std::chrono::seconds(10);

} // namespace

NullAudioServer::NullAudioServer() {
    char folder[] = "/tmp/tw-audio-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        throw std::runtime_error("cannot make a runtime folder for the sound server");
    }
    m_runtimeFolder = folder;
    const std::string socket = m_runtimeFolder + "/pulse/native";
    ::setenv("XDG_RUNTIME_DIR", m_runtimeFolder.c_str(), 1);
    ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, STDIN_FILENO);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                 "--use-pid-file=no", "--disable-shm=yes", "-L", "module-native-protocol-unix", "-L",
                 "module-null-sink", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + StartTimeout;
    struct stat status {};
    while (::stat(socket.c_str(), &status) != 0) {
        int exitStatus = 0;
        if (m_pid < 0 || ::waitpid(m_pid, &exitStatus, WNOHANG) == m_pid ||
            std::chrono::steady_clock::now() > deadline) {
            if (m_pid > 0) {
                ::kill(m_pid, SIGTERM);
                ::waitpid(m_pid, nullptr, 0);
            }
            m_pid = -1;
            throw std::runtime_error("the sound server did not start (is the package pulseaudio installed?)");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

NullAudioServer::~NullAudioServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_runtimeFolder, ignored);
}

} // namespace testsupport
