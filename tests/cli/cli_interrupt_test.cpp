// Ctrl-C during a run, and the progress line on a terminal. The child's log goes into a pipe
// that holds one page: once the test stops reading, the child soon waits on its next log line,
// so a signal always finds the run with most of its 150 entries still ahead.
#include "cli_fixture.h"

#include <chrono>
#include <csignal>
#include <thread>

namespace clitest {
namespace {

constexpr int TrackCount = 150;
constexpr const char* AbortLine = "Копирование перервано пользователем и не завершено.";

struct CliInterrupt : CliTest {
    CliInterrupt() { writeManyTracks(TrackCount); }

    CliOptions smallPipe() const {
        CliOptions options = inFixture();
        options.stdoutPipeSize = 4096;
        return options;
    }
};

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Ctrl-C acts as the abort button: the run passes over the rest of the list, ends with the
// abort line and the summary, writes no playlist and exits with 1; what was copied is whole.
TEST_F(CliInterrupt, CtrlCAbortsTheRun) {
    CliProcess process({"--flat", "--folder", "many", "out"}, smallPipe());
    ASSERT_TRUE(process.readUntil("  Копирование -> "));
    process.sendSignal(SIGINT);
    pause(200);
    CliResult result = process.finish();
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.out.find("\n\n" + std::string(AbortLine) + "\nПрервано. Скопировано: "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(", с ошибками: 0, не найдено: 0, не начато: "), std::string::npos)
        << result.out;
    EXPECT_FALSE(result.out.ends_with(", не начато: 0\n")) << result.out;
    EXPECT_LT(countOf(result.out, "  Копирование -> "), size_t{TrackCount});
    EXPECT_FALSE(drive.exists("out/_playlist_.m3u"));
    EXPECT_LT(checkCopiesOf("many", "out").size(), size_t{TrackCount});
    for (const std::string& name : testsupport::filesUnder(drive, "out")) {
        EXPECT_FALSE(name.starts_with(".")) << "a temporary file left behind: " << name;
    }
}

// A second Ctrl-C ends the program at once, even while it cannot get on (here: its log is not
// read), without the closing lines; every file that stands at its final name is whole.
TEST_F(CliInterrupt, SecondCtrlCEndsAtOnce) {
    CliProcess process({"--flat", "--folder", "many", "out"}, smallPipe());
    ASSERT_TRUE(process.readUntil("  Копирование -> "));
    ASSERT_TRUE(process.waitUntilOutputIsFull());
    process.sendSignal(SIGINT);
    pause(100);
    process.sendSignal(SIGINT);
    CliResult result = process.finish();
    EXPECT_EQ(result.signal, SIGINT);
    EXPECT_EQ(result.out.find(AbortLine), std::string::npos);
    EXPECT_FALSE(drive.exists("out/_playlist_.m3u"));
    EXPECT_LT(checkCopiesOf("many", "out").size(), size_t{TrackCount});
}

// On a terminal, stderr carries one line that rewrites itself (phase, bars) and is taken away
// at the end; stdout carries the same log as without a terminal.
TEST_F(CliInterrupt, ProgressLineOnlyOnATerminal) {
    CliOptions terminal = inFixture();
    terminal.stderrOnTerminal = true;
    CliResult shown = runCli({"--flat", "--folder", "many", "out"}, terminal);
    CliResult plain = cli({"--flat", "--folder", "many", "out2"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.err, "");
    EXPECT_NE(shown.err.find("\r\x1b[KКопирование ["), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find("] 100% [##########]"), std::string::npos) << shown.err;
    EXPECT_TRUE(shown.err.ends_with("\r\x1b[K")) << shown.err;
    EXPECT_EQ(shown.err.find('\n'), std::string::npos) << "no line of its own";
    std::string log = shown.out;
    for (size_t at = log.find("out2"); at != std::string::npos; at = log.find("out2")) {
        log.erase(at + 3, 1);
    }
    std::string plainLog = plain.out;
    for (size_t at = plainLog.find("out2"); at != std::string::npos; at = plainLog.find("out2")) {
        plainLog.erase(at + 3, 1);
    }
    EXPECT_EQ(log, plainLog);
}

} // namespace
} // namespace clitest
