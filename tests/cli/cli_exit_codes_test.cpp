// The exit codes and where each failure is told: 2 with the usage text for a wrong command
// line, 3 with the reason for a source that cannot be read, 1 for a destination that the run
// refuses; in none of them is anything made at the destination.
#include "cli_fixture.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace clitest {
namespace {

struct CliExitCodes : CliTest {
    CliExitCodes() { writeLibrary(); }
};

// Every mistake of the command line is named on stderr above the usage text.
TEST_F(CliExitCodes, WrongCommandLinesGiveTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"out"},
        {"--playlist", "lib/list.m3u"},
        {"--playlist", "lib/list.m3u", "out", "other"},
        {"--playlist", "lib/list.m3u", "--folder", "lib", "out"},
        {"--files", "--to", "out"},
        {"--playlist", "lib/list.m3u", "out", "--colour"},
        {"--playlist", "lib/list.m3u", "out", "--levels"},
        {"--playlist", "lib/list.m3u", "out", "--levels", "256"},
        {"--playlist", "lib/list.m3u", "out", "--levels", "-1"},
        {"--playlist", "lib/list.m3u", "out", "--levels", "x"},
        {"--playlist", "lib/list.m3u", "out", "--levels", "1", "--flat"},
        {"--playlist", "lib/list.m3u", "out", "--invalid", "drop"},
        {"--playlist", "lib/list.m3u", "out", "--mode", "teleport"},
        {"--playlist", "lib/list.m3u", "out", "--exists", "ask"},
        {"--playlist", "lib/list.m3u", "out", "--limit", "abc"},
        {"--playlist", "lib/list.m3u", "out", "--limit", "-5"},
        {"--playlist", "lib/list.m3u", "out", "--limit", "1.2.3"},
        {"--playlist", "lib/list.m3u", "out", "--limit", "700", "--auto-limit"},
        {"--playlist", "lib/list.m3u", "out", "--flat=yes"},
        {"--playlist", "lib/list.m3u", "out", "--convert", "wma"},
        {"--playlist", "lib/list.m3u", "out", "--convert", "mp3:v10"},
        {"--playlist", "lib/list.m3u", "out", "--convert", "opus:512"},
        {"--playlist", "lib/list.m3u", "out", "--convert", "mp3", "--convert-only-unplayable", "mp3/x"},
        {"--playlist", "lib/list.m3u", "out", "--convert", "mp3", "--jobs", "0"},
        {"--playlist", "lib/list.m3u", "out", "--jobs", "2"},
        {"--playlist", "lib/list.m3u", "out", "--convert-only-unplayable", "mp3"},
        {"--playlist", "", "out"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult result = cli(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.starts_with("tunewagon-cli: ")) << result.err;
        EXPECT_NE(result.err.find("\n\nИспользование:\n"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(drive.exists("out"));
    }
}

// A drive mapped to a folder that is not there is a wrong command line: the drive and the
// folder are named, and nothing is read or made.
TEST_F(CliExitCodes, DriveOnAMissingFolderGivesTwo) {
    for (const std::string& folder : {drive.hostPath("nowhere"), drive.hostPath("lib/list.m3u")}) {
        CliResult result = cli({"--drive", "d:=" + folder, "--playlist", "lib/list.m3u", "out"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.starts_with("tunewagon-cli: Папка диска D: не найдена: " + folder + "\n"))
            << result.err;
        EXPECT_FALSE(drive.exists("out"));
    }
}

// --help is no mistake: the usage text on stdout and 0.
TEST_F(CliExitCodes, HelpPrintsTheUsage) {
    CliResult result = cli({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.starts_with("Использование:\n")) << result.out;
    EXPECT_EQ(result.err, "");
}

// --version prints the name and the version, whatever else is given.
TEST_F(CliExitCodes, VersionPrintsTheVersion) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"--folder", "x", "--version"}}) {
        CliResult result = cli(args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, "tunewagon-cli 4.2\n");
        EXPECT_EQ(result.err, "");
    }
}

// A source that cannot be read gives 3 and its reason, and no run starts.
TEST_F(CliExitCodes, UnreadableSourcesGiveThree) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--playlist", "lib/none.m3u", "out"},
         "Не удалось открыть файл \"" + h("lib/none.m3u") + "\": файл или папка не найдены\n"},
        {{"--playlist", "lib", "out"}, "Не удалось открыть файл \"" + h("lib") + "\""},
        {{"--folder", "nowhere", "out"},
         "Не удалось открыть папку \"" + h("nowhere") + "\": файл или папка не найдены\n"},
        {{"--folder", "lib/list.m3u", "out"}, "Не удалось открыть папку \"" + h("lib/list.m3u") + "\""},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult result = cli(args);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.err.starts_with(message)) << result.err;
        EXPECT_TRUE(result.err.ends_with("\n")) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(drive.exists("out"));
    }
}

// A total beyond the free space of the destination's volume stops the run after the scan: the
// message on stderr, 1, and not even the destination folder made. The source is a sparse file
// whose length exceeds the free space without taking it.
TEST_F(CliExitCodes, TooLittleSpaceGivesOne) {
    struct statvfs volume {};
    ASSERT_EQ(::statvfs(drive.hostRoot().c_str(), &volume), 0);
    const off_t length = static_cast<off_t>(volume.f_bavail * volume.f_frsize) + (off_t{1} << 30);
    drive.writeFile("huge/huge.mp3");
    int fd = ::open(drive.hostPath("huge/huge.mp3").c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, length), 0);
    ::close(fd);

    CliResult result = cli({"--files", "huge/huge.mp3", SoloPath, "--to", "out"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "В приемнике не хватает места!\n");
    EXPECT_TRUE(result.out.starts_with("Сканирование файлов списка ... \n Файлов: 2\n")) << result.out;
    EXPECT_TRUE(result.out.ends_with("\n\n")) << result.out;
    EXPECT_EQ(result.out.find("Копирование"), std::string::npos) << result.out;
    EXPECT_FALSE(drive.exists("out"));
}

} // namespace
} // namespace clitest
