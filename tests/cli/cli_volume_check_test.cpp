// --check and the reason column of --list, onto a real FAT32 volume: what the volume will refuse
// is named before anything is copied.
#include "cli_fixture.h"

#include "support/fat_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using clitest::CliResult;
using clitest::CliTest;

struct CliVolumeCheck : CliTest {
    testsupport::FatImage stick;

    void SetUp() override {
        if (!stick.mounted()) {
            GTEST_SKIP() << "no FAT32 volume: " << stick.whyNotMounted();
        }
        for (const char* name : {"src/fine.mp3", "src/CON.mp3", "src/x/A.mp3", "src/y/a.mp3"}) {
            drive.writeFile(name, "data");
        }
        // A colon is a drive to the program's paths, so this one is written on the host side.
        std::ofstream(h("src") + "/a:b.mp3") << "data";
        drive.writeFile("src/big.mp3");
        ASSERT_EQ(::truncate(h("src/big.mp3").c_str(), 4'500'000'000), 0);
    }
    std::string dest() const { return stick.mountFolder() + "/dst"; }
};

TEST_F(CliVolumeCheck, CheckNamesEachProblemAndExitsFour) {
    CliResult result = cli({"--check", "--flat", "--folder", "src", dest()});
    EXPECT_EQ(result.exitCode, 4) << result.err;
    const std::string d = dest() + "/";
    EXPECT_EQ(
        result.out,
        d +
            "a:b.mp3\tИмя недопустимо на томе FAT32: недопустимый символ (\" * / : < > ? \\ |); будет "
            "записано как \"ab.mp3\"\n" +
            d +
            "big.mp3\tФайл больше, чем вмещает том FAT32: 4500000000 байт при наибольших 4294967295; "
            "он не будет скопирован\n" +
            d +
            "CON.mp3\tИмя недопустимо на томе FAT32: зарезервированное имя устройства (CON, PRN, AUX, "
            "NUL, COM1-9, LPT1-9); будет записано как \"CON_.mp3\"\n" +
            d +
            "a.mp3\tИмя отличается от \"A.mp3\" только регистром букв: на томе FAT32 это один файл; будет "
            "записано как \"a (1).mp3\"\n" +
            "# Не подходят для тома FAT32 как есть: 4 из 6 (причина - в подсказке отмеченной строки)\n");
    // Nothing was copied, and the folder was not even made.
    EXPECT_NE(::access(dest().c_str(), F_OK), 0);
}

TEST_F(CliVolumeCheck, ListGivesTheReasonInItsFifthColumn) {
    CliResult result = cli({"--list", "--flat", "--folder", "src", dest()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\t" + dest() + "/fine.mp3\tok\t\n"), std::string::npos) << result.out;
    // Names the volume refuses are the list's marks, never counted as corrected descriptions
    // (nothing is renamed by description here).
    EXPECT_EQ(result.err.find("Найдено и исправлено"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("\t" + dest() + "/CON.mp3\tok\tИмя недопустимо на томе FAT32"),
              std::string::npos)
        << result.out;
}

// The run onto the stick: the names it refuses land cleaned, the two names that are one file
// there get the numbered name, the big file is not attempted and the log says why, and no
// partial file stays. The driver reports no size, so the run does not stop at its 0 free blocks.
TEST_F(CliVolumeCheck, RunLandsTheCleanedNames) {
    CliResult result = cli({"--flat", "--no-playlist", "--folder", "src", dest()});
    EXPECT_EQ(result.exitCode, 4) << result.out << result.err;
    EXPECT_EQ(clitest::filesBelow(dest()),
              (std::vector<std::string>{"A.mp3", "CON_.mp3", "a (1).mp3", "ab.mp3", "fine.mp3"}));
    EXPECT_NE(result.out.find("больше, чем вмещает том FAT32"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Скопировано: 5, пропущено: 0, с ошибками: 1, не найдено: 0"),
              std::string::npos)
        << result.out;
}

// The same list onto the temporary folder's own volume, folders kept: nothing to refuse, exit 0.
TEST_F(CliVolumeCheck, CheckOntoAVolumeThatTakesEverything) {
    drive.writeFile("src/big.mp3"); // an empty file again: the check does not look at free space
    CliResult result = cli({"--check", "--levels", "1", "--folder", "src", "out"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 2), "# ") << result.out;
    EXPECT_NE(result.out.find("примет все файлы списка"), std::string::npos) << result.out;
}

// A move within the stick, renamed after a Cyrillic description: fusefat refuses names that
// are not ASCII, which --check learns from the volume itself; the run writes the name in Latin
// letters, and the only copy is never handed to a rename the driver refuses.
TEST_F(CliVolumeCheck, MoveOntoANameTheDriverRefusesKeepsTheFile) {
    const std::string src = stick.mountFolder() + "/src";
    std::filesystem::create_directory(src);
    std::ofstream(src + "/a.mp3") << "only copy";
    std::ofstream(src + "/list.m3u") << "#EXTM3U\r\n#EXTINF:10,Песня\r\na.mp3\r\n";
    const std::vector<std::string> common = {"--rename", "--flat", "--playlist", src + "/list.m3u", dest()};

    std::vector<std::string> args = {"--check"};
    args.insert(args.end(), common.begin(), common.end());
    CliResult check = cli(args);
    EXPECT_EQ(check.exitCode, 4) << check.out << check.err;
    EXPECT_NE(check.out.find("будет записано как \"Pesnya.mp3\""), std::string::npos) << check.out;

    args = {"--mode", "move", "--no-playlist"};
    args.insert(args.end(), common.begin(), common.end());
    CliResult run = cli(args);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    std::ifstream moved(dest() + "/Pesnya.mp3");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "only copy");
    EXPECT_FALSE(std::filesystem::exists(src + "/a.mp3"));
}

} // namespace
