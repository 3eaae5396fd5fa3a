// The close guard, the exit/abort button and requests from outside to end the program, in
// each state of the run flags: idle, running, and aborted but still unwinding.
#include "window_fixture.h"

#include "app/termination_requests.h"

#include <QElapsedTimer>
#include <QPushButton>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace apptest {
namespace {

struct RunFlags {
    const char* name;
    bool workActive;
    bool runIdle;
};
constexpr RunFlags Idle{"idle", false, true};
constexpr RunFlags Running{"running", true, false};
constexpr RunFlags Unwinding{"aborted, unwinding", false, false};

void setFlags(app::TForm1& window, const RunFlags& flags) {
    window.Shell.WorkActive = flags.workActive;
    window.Shell.RunIdle = flags.runIdle;
    window.Shell.CopyCancelCell = 0;
}

// The window may close only when idle; a refused close leaves it open and saves nothing.
TEST_F(WindowTest, CloseIsRefusedWhileARunWorksOrUnwinds) {
    for (const RunFlags& flags : {Idle, Running, Unwinding}) {
        SCOPED_TRACE(flags.name);
        std::filesystem::remove(drive.hostPath("conf.fdb"));
        auto window = startWindow();
        setFlags(*window, flags);
        const bool idle = flags.runIdle && !flags.workActive;
        EXPECT_EQ(window->FormCloseQuery(), idle);
        EXPECT_EQ(window->close(), idle);
        EXPECT_EQ(window->closed(), idle);
        EXPECT_EQ(settingsFileExists(), idle);
        EXPECT_EQ(window->ConfDb == nullptr, idle);
    }
}

// "Выход" closes and saves when idle; while running it aborts (flags only, the window
// stays); while an aborted run unwinds it does nothing. Once the run has unwound, the
// window closes.
TEST_F(WindowTest, Button4AbortsARunOrClosesTheIdleWindow) {
    const struct {
        RunFlags flags;
        bool closes;
        bool workActiveAfter;
        int32_t cancelCellAfter;
    } cases[] = {
        {Idle, true, false, 0},
        {Running, false, false, -1},
        {Unwinding, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags.name);
        std::filesystem::remove(drive.hostPath("conf.fdb"));
        auto window = startWindow();
        setFlags(*window, c.flags);
        window->Button4->click();
        EXPECT_EQ(window->closed(), c.closes);
        EXPECT_EQ(settingsFileExists(), c.closes);
        EXPECT_EQ(window->Shell.WorkActive, c.workActiveAfter);
        EXPECT_EQ(window->Shell.CopyCancelCell, c.cancelCellAfter);
        EXPECT_EQ(window->Shell.RunIdle, c.flags.runIdle);
        if (!c.closes) {
            window->Shell.RunIdle = true; // the run has ended
            window->Button4Click();
            EXPECT_TRUE(window->closed());
            EXPECT_TRUE(settingsFileExists());
        }
    }
}

bool processEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// A signal from outside asks the window to close like its close button: refused during a
// run, honoured (with the settings saved) once the program is idle.
TEST_F(WindowTest, TerminationSignalClosesTheWindowWhenIdle) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove(drive.hostPath("conf.fdb"));
        app::TerminationRequests requests;
        auto window = startWindow();
        int received = 0;
        QObject::connect(&requests, &app::TerminationRequests::requested, window.get(), [&] {
            ++received;
            window->close();
        });
        setFlags(*window, Running);
        ASSERT_EQ(::raise(signal), 0);
        ASSERT_TRUE(processEventsUntil([&] { return received == 1; }, 5000));
        EXPECT_FALSE(window->closed());

        setFlags(*window, Idle);
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(processEventsUntil([&] { return window->closed(); }, 5000));
        EXPECT_TRUE(settingsFileExists());
    }
}

// Whether `pid` has a handler of its own installed for `signal` (the SigCgt mask in /proc).
bool catchesSignal(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (signal - 1)) & 1;
        }
    }
    return false;
}

// Waits up to `timeoutMs` for the child to end; its wait status, or -1 when it still runs.
int waitForExit(pid_t pid, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return status;
        }
        ::usleep(20000);
    }
    return -1;
}

// The program itself, started under the offscreen platform from its own folder, runs until
// SIGTERM and then saves its settings beside itself and ends normally.
TEST_F(WindowTest, ProgramSavesItsSettingsOnSigterm) {
    namespace fs = std::filesystem;
    const fs::path program = fs::path(drive.hostRoot()) / "tunewagon";
    fs::copy_file(TW_TUNEWAGON_EXE, program);
    const fs::path settings = fs::path(drive.hostRoot()) / "conf.fdb";

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    bool ready = false;
    for (int waited = 0; waited < 20000 && !ready; waited += 20) {
        ready = catchesSignal(pid, SIGTERM);
        ::usleep(20000);
    }
    if (!ready) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "the program did not start";
    }
    EXPECT_FALSE(fs::exists(settings));
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    const int status = waitForExit(pid, 20000);
    if (status == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end after SIGTERM";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    ASSERT_TRUE(fs::exists(settings));
    store::TfdbObject conf;
    ASSERT_LE(conf.Load(drive.programPath("conf.fdb"), 1), 0);
    store::StoreValue kind;
    EXPECT_LE(conf.DSystem.ReadValue("RG2", store::StoreValue(), kind), 0);
    EXPECT_EQ(kind.toInt32(), 1);
}

} // namespace
} // namespace apptest
