// One run never writes over its own entries: names that are one file in the program's
// namespace (letter case aside), names that the 255-byte cut makes equal, and on a FAT32 stick
// names that cleaning makes equal or empty all land as files of their own, whatever the policy
// for files that stood there before.
#include "cli_fixture.h"

#include "support/fat_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using clitest::CliResult;
using clitest::CliTest;

const char* const AllCopied = "Скопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0\n";

// Three tracks of a case-sensitive folder whose names differ only in letter case, flattened
// onto ext4 with overwrite: three files.
TEST_F(CliTest, NamesEqualButForCaseAreThreeFiles) {
    for (const char* name : {"src/Song.mp3", "src/song.mp3", "src/SONG.MP3"}) {
        drive.writeFile(name, name);
    }
    CliResult result = cli({"--flat", "--no-playlist", "--exists", "overwrite", "--folder", "src", "out"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(result.out.ends_with(AllCopied)) << result.out;
    EXPECT_EQ(clitest::filesBelow(h("out")),
              (std::vector<std::string>{"SONG.MP3", "Song (1).mp3", "song (2).mp3"}));
}

// Four descriptions of about 300 bytes that differ only at their end, renamed by with the
// default options: the cut names are numbered within 255 bytes, and every track is copied.
TEST_F(CliTest, LongDescriptionsCutToOneNameAreNumbered) {
    std::string playlist = "#EXTM3U\r\n";
    std::string title;
    for (int i = 0; i < 145; ++i) {
        title += "ж";
    }
    for (int i = 1; i <= 4; ++i) {
        drive.writeFile("src/" + std::to_string(i) + ".mp3", std::to_string(i));
        playlist += "#EXTINF:60," + title + std::to_string(i) + "\r\n" + std::to_string(i) + ".mp3\r\n";
    }
    drive.writeFile("src/list.m3u", playlist);
    CliResult result = cli({"--rename", "--no-playlist", "--flat", "--playlist", "src/list.m3u", "out"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(result.out.ends_with("Скопировано: 4, пропущено: 0, с ошибками: 0, не найдено: 0\n"))
        << result.out;
    const auto files = clitest::filesBelow(h("out"));
    ASSERT_EQ(files.size(), 4u);
    for (const std::string& name : files) {
        EXPECT_LE(name.size(), 255u) << name;
    }
}

// On a FAT32 stick with characters removed and overwrite: "a:b.mp3" and "ab.mp3" are two
// files, and the files of folders named "???" and ":" land in a folder "_" of their own.
TEST_F(CliTest, FatNamesThatCleaningMakesEqualOrEmptyStayApart) {
    testsupport::FatImage stick;
    if (!stick.mounted()) {
        GTEST_SKIP() << "no FAT32 volume: " << stick.whyNotMounted();
    }
    const std::string src = h("src");
    for (const char* name : {"/a:b.mp3", "/ab.mp3", "/\?\?\?/x.mp3", "/:/y.mp3"}) {
        std::filesystem::create_directories(std::filesystem::path(src + name).parent_path());
        std::ofstream(src + name) << name;
    }
    const std::string dest = stick.mountFolder() + "/dst";
    CliResult result = cli({"--levels", "1", "--invalid", "remove", "--exists", "overwrite", "--no-playlist",
                            "--folder", "src", dest});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(clitest::filesBelow(dest),
              (std::vector<std::string>{"_/x.mp3", "_/y.mp3", "src/ab (1).mp3", "src/ab.mp3"}));
}

} // namespace
