// The options of the command line, each one seen where it acts: the destination names and the
// limit line that --list prints, the transfer mode, the existing-file policy and the playlist
// switch on the files of a run.
#include "cli_fixture.h"

#include <array>
#include <filesystem>
#include <regex>
#include <sstream>

namespace clitest {
namespace {

using testsupport::filesUnder;

struct CliOptionsTest : CliTest {
    CliOptionsTest() { writeLibrary(); }
};

struct ListCase {
    std::vector<std::string> options;
    std::array<const char*, 3> names; // the three destination paths below out\ .
    std::string lastLine;             // "" when no limit line follows the entries
    std::string err;
};

// --list with the library's playlist: one line per entry, description TAB source TAB
// destination TAB the source's state, as host paths; the limit line when a limit is set;
// messages on stderr. Renaming by description keeps each source's extension.
TEST_F(CliOptionsTest, ListShowsTheNamesThatTheOptionsGive) {
    const std::string corrected = "Найдено и исправлено неверных имен файлов: 1\n";
    const ListCase cases[] = {
        {{}, {"Album/01 - Song.mp3", "Album/Intro.ogg", "Jazz/solo.wav"}, "", ""},
        {{"--levels", "0"}, {"01 - Song.mp3", "Intro.ogg", "solo.wav"}, "", ""},
        {{"--levels=2"}, {"Band/Album/01 - Song.mp3", "Band/Album/Intro.ogg", "lib/Jazz/solo.wav"}, "", ""},
        {{"--flat"}, {"01 - Song.mp3", "Intro.ogg", "solo.wav"}, "", ""},
        {{"--flat", "--number"}, {"0 01 - Song.mp3", "1 Intro.ogg", "2 solo.wav"}, "", ""},
        {{"--flat", "--rename"}, {"Artist - Title.mp3", "ACDC Back.ogg", "solo.wav"}, "", corrected},
        {{"--flat", "--rename", "--invalid", "space"},
         {"Artist - Title.mp3", "AC DC  Back.ogg", "solo.wav"},
         "",
         corrected},
        {{"--flat", "--rename", "--invalid", "underscore"},
         {"Artist - Title.mp3", "AC_DC_ Back.ogg", "solo.wav"},
         "",
         corrected},
        {{"--flat", "--rename", "--invalid", "remove"},
         {"Artist - Title.mp3", "ACDC Back.ogg", "solo.wav"},
         "",
         corrected},
        {{"--flat", "--rename", "--keep-numbered"},
         {"01 - Song.mp3", "ACDC Back.ogg", "solo.wav"},
         "",
         corrected},
        {{"--flat", "--rename", "--number"},
         {"0 Artist - Title.mp3", "ACDC1  Back.ogg", "2 solo.wav"},
         "",
         corrected},
        {{"--flat", "--limit", "0.012"},
         {"01 - Song.mp3", "Intro.ogg", "solo.wav"},
         "# 50%  -  6000 байт/12 Кб",
         ""},
        {{"--flat", "--limit", "0,003"},
         {"01 - Song.mp3", "Intro.ogg", "solo.wav"},
         "# 200%  -  6000 байт/3000 байт",
         ""},
        {{"--flat", "--limit", "0"}, {"01 - Song.mp3", "Intro.ogg", "solo.wav"}, "", ""},
    };
    for (const ListCase& c : cases) {
        std::vector<std::string> args = {"--list", "--playlist", "lib/list.m3u", "out"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        CliResult result = cli(args);
        SCOPED_TRACE(::testing::PrintToString(c.options));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        // Past a limit of 3000 bytes, the second and third rows (2000 bytes each after the first)
        // say so in a sixth field.
        const bool pastLimit = c.lastLine.starts_with("# 200%");
        const std::string past = pastLimit ? "\tза пределом ограничения" : "";
        std::string expected = "Artist - Title\t" + h(SongPath) + "\t" + h("out") + "/" + c.names[0] +
                               "\tok\t\n" + "AC/DC: Back\t" + h(IntroPath) + "\t" + h("out") + "/" +
                               c.names[1] + "\tok\t" + past + "\n" + "\t" + h(SoloPath) + "\t" + h("out") +
                               "/" + c.names[2] + "\tok\t" + past + "\n";
        if (!c.lastLine.empty()) {
            expected += c.lastLine + "\n";
        }
        // Then the totals, with the size on the volume after it where the volume rounds it.
        expected += "# Файлов: 3, размер: 6000 байт";
        ASSERT_TRUE(result.out.starts_with(expected)) << result.out;
        EXPECT_TRUE(result.out.ends_with("не найдено: 0, найдено в другом месте: 0, уже в приемнике: 0, "
                                         "не подходят для тома: 0, за пределом ограничения: " +
                                         std::string(pastLimit ? "2" : "0") + "\n"))
            << result.out;
        EXPECT_EQ(result.err, c.err);
        EXPECT_FALSE(drive.exists("out")) << "--list copies nothing";
    }
}

// --auto-limit takes the limit from the free space of the destination's volume, in whole
// megabytes, and counts the sizes as that volume will take them.
TEST_F(CliOptionsTest, AutoLimitMeasuresTheDestinationVolume) {
    CliResult result = cli({"--list", "--flat", "--auto-limit", "--playlist", "lib/list.m3u", "out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The limit is the volume's free space, so the total is what the files take there: each
    // size rounded up to the volume's block.
    const std::regex limitLine("(^|\n)# 0%  -  (6000 байт|[0-9]+ Кб)/[0-9]+ (Мб|Гб)\n"
                               "(# Файлы: 6000 байт \\(6000 байт\\), на томе с кластером [0-9]+ (байт|Кб) "
                               "займут [0-9]+ Кб \\([0-9]+ байт\\)\n)?# Файлов: 3");
    EXPECT_TRUE(std::regex_search(result.out, limitLine)) << result.out;
}

struct ModeCase {
    const char* mode;
    const char* header;
    const char* verb;
    bool sourcesStay;
};

// Each transfer mode delivers the same files; the move takes them away from the source and
// logs itself as a move.
TEST_F(CliOptionsTest, EveryTransferModeDeliversTheFiles) {
    const ModeCase cases[] = {
        {"copy", "Копирование:", "  Копирование -> ", true},
        {"system-copy", "Копирование:", "  Копирование -> ", true},
        {"move", "Перемещение:", "  Перемещение -> ", false},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        writeLibrary();
        const std::string song = drive.readFile(SongPath);
        const std::string out = std::string("out-") + c.mode;
        CliResult result = cli({"--mode", c.mode, "--flat", "--playlist", "lib/list.m3u", out});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find(std::string(c.header) + "\n" + c.verb + h(out) + "/01 - Song.mp3 ...\n"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("\nКопирование завершено.\n"), std::string::npos) << result.out;
        EXPECT_EQ(drive.readFile(out + "/01 - Song.mp3"), song);
        EXPECT_EQ(filesUnder(drive, out),
                  (std::vector<std::string>{"01 - Song.mp3", "Intro.ogg", "_playlist_.m3u", "solo.wav"}));
        EXPECT_EQ(drive.exists(SongPath), c.sourcesStay);
        EXPECT_EQ(drive.exists(SoloPath), c.sourcesStay);
    }
}

struct ExistsCase {
    const char* policy;
    const char* verdict; // the end of the policy line
    std::vector<std::string> files;
    const char* introBytes; // what out/Intro.ogg holds afterwards: "old" or "new"
    const char* listed;     // the state --list gives the entry beforehand
};

// With a file already at a destination, --exists chooses between overwriting it, a numbered
// name beside it and leaving the entry out; the policy line says which, and --list says it
// beforehand.
TEST_F(CliOptionsTest, ExistingFilesFollowThePolicy) {
    const ExistsCase cases[] = {
        {"overwrite",
         "перезапись файла",
         {"01 - Song.mp3", "Intro.ogg", "_playlist_.m3u", "solo.wav"},
         "new",
         "уже в приемнике: будет заменен"},
        {"rename",
         "переименование в \"Intro (1).ogg\"",
         {"01 - Song.mp3", "Intro (1).ogg", "Intro.ogg", "_playlist_.m3u", "solo.wav"},
         "old",
         "уже в приемнике: будет записан как \"Intro (1).ogg\""},
        {"skip",
         "пропуск файла",
         {"01 - Song.mp3", "Intro.ogg", "_playlist_.m3u", "solo.wav"},
         "old",
         "уже в приемнике: будет пропущен"},
    };
    for (const ExistsCase& c : cases) {
        SCOPED_TRACE(c.policy);
        drive.writeFile("out/Intro.ogg", "old");
        drive.writeFile("out/_playlist_.m3u", "old");
        const CliResult listed =
            cli({"--list", "--exists", c.policy, "--flat", "--playlist", "lib/list.m3u", "out"});
        EXPECT_NE(listed.out.find(h("out/Intro.ogg") + "\tok\t\t" + c.listed + "\n"), std::string::npos)
            << listed.out;
        EXPECT_NE(listed.out.find("уже в приемнике: 1,"), std::string::npos) << listed.out;
        CliResult result = cli({"--exists", c.policy, "--flat", "--playlist", "lib/list.m3u", "out"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string line = logText({std::string("  Файл \"Intro.ogg\" уже существует: ") + c.verdict});
        EXPECT_NE(result.out.find(line), std::string::npos) << result.out;
        EXPECT_EQ(filesUnder(drive, "out"), c.files);
        const std::string intro = drive.readFile("out/Intro.ogg");
        EXPECT_EQ(intro, std::string(c.introBytes) == "old" ? "old" : drive.readFile(IntroPath));
        EXPECT_EQ(drive.readFile("out/_playlist_.m3u").substr(0, 9), "#EXTM3U\r\n");
        std::filesystem::remove_all(drive.hostPath("out"));
    }
}

// --sort orders the list before it is numbered, --shuffle=SEED gives the same order every time
// (and says its seed), and the run writes the files in the order the list shows.
TEST_F(CliOptionsTest, SortAndShuffleSetTheOrder) {
    const auto sourcesListed = [this](std::vector<std::string> options) {
        options.insert(options.end(), {"--list", "--flat", "--number", "--playlist", "lib/list.m3u", "out"});
        const CliResult result = cli(options);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::vector<std::string> names;
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, '\t');) {
                fields.push_back(cell);
            }
            if (!line.starts_with("#") && fields.size() > 2) {
                names.push_back(fields[2].substr(fields[2].rfind('/') + 1));
            }
        }
        return names;
    };
    EXPECT_EQ(sourcesListed({"--sort", "size"}),
              (std::vector<std::string>{"0 solo.wav", "1 Intro.ogg", "2 01 - Song.mp3"}));
    // The solo's description is empty, so it sorts first.
    EXPECT_EQ(sourcesListed({"--sort=description"}),
              (std::vector<std::string>{"0 solo.wav", "1 Intro.ogg", "2 01 - Song.mp3"}));
    const std::vector<std::string> shuffled = sourcesListed({"--shuffle=7"});
    EXPECT_EQ(sourcesListed({"--shuffle=7"}), shuffled);
    ASSERT_EQ(shuffled.size(), 3u);
    const CliResult told = cli({"--shuffle=7", "--flat", "--number", "--playlist", "lib/list.m3u", "out"});
    EXPECT_EQ(told.exitCode, 0) << told.err;
    EXPECT_NE(told.err.find("Порядок перемешан: --shuffle=7"), std::string::npos) << told.err;
    EXPECT_EQ(filesUnder(drive, "out"),
              (std::vector<std::string>{shuffled[0], shuffled[1], shuffled[2], "_playlist_.m3u"}));
    EXPECT_EQ(cli({"--shuffle=x", "--list", "--playlist", "lib/list.m3u", "out"}).exitCode, 2);
    EXPECT_EQ(cli({"--sort", "colour", "--list", "--playlist", "lib/list.m3u", "out"}).exitCode, 2);
}

// --limit-time 3 over five one-minute tracks: the fourth and fifth rows lie past the limit, the
// bar's line weighs the playing time, and the totals give it.
TEST_F(CliOptionsTest, TimeLimitMarksTheRowsPastIt) {
    std::string playlist = "#EXTM3U\r\n";
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "min/" + std::to_string(i) + ".mp3";
        drive.writeFile(name, "x");
        playlist += "#EXTINF:60,Track " + std::to_string(i) + "\r\n" + std::to_string(i) + ".mp3\r\n";
    }
    drive.writeFile("min/list.m3u", playlist);
    const CliResult result =
        cli({"--list", "--no-tags", "--limit-time", "3", "--playlist", "min/list.m3u", "out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines;
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 7u) << result.out;
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(lines[static_cast<size_t>(row)].ends_with("\tза пределом ограничения"), row >= 3)
            << lines[static_cast<size_t>(row)];
    }
    EXPECT_EQ(lines[5], "# 167%  -  5:00/3:00");
    EXPECT_NE(lines[6].find(", время: 5:00;"), std::string::npos) << lines[6];
    EXPECT_EQ(cli({"--list", "--limit-time", "soon", "--playlist", "min/list.m3u", "out"}).exitCode, 2);
}

// --no-playlist leaves the playlist out, and its log line with it.
TEST_F(CliOptionsTest, NoPlaylistWritesNone) {
    CliResult result = cli({"--no-playlist", "--flat", "--playlist", "lib/list.m3u", "out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.ends_with(
        "\n\nКопирование завершено.\nСкопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0\n"))
        << result.out;
    EXPECT_EQ(filesUnder(drive, "out"), (std::vector<std::string>{"01 - Song.mp3", "Intro.ogg", "solo.wav"}));
}

// --verify and --flush are taken: every copy is read back and the volume flushed, and the run
// ends as a plain one does, in each copying mode and for a move.
TEST_F(CliOptionsTest, VerifyAndFlushDeliverTheFiles) {
    for (const char* mode : {"copy", "system-copy", "move"}) {
        SCOPED_TRACE(mode);
        writeLibrary();
        const std::string song = drive.readFile(SongPath);
        CliResult result = cli({"--verify", "--flush", "--mode", mode, "--no-playlist", "--flat",
                                "--playlist", "lib/list.m3u", "out"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string verb = std::string(mode) == "move" ? "Перемещено" : "Скопировано";
        EXPECT_TRUE(result.out.ends_with(verb + ": 3, пропущено: 0, с ошибками: 0, не найдено: 0\n"))
            << result.out;
        EXPECT_EQ(drive.readFile("out/01 - Song.mp3"), song);
        std::filesystem::remove_all(drive.hostPath("out"));
    }
}

// A write beyond the process's file-size limit fails like a full disk: the entry gets its error
// line with the reason, nothing stands at its name, and the run goes on to the end instead of
// being killed; its summary counts the failure and the exit code is 4, not a success.
TEST_F(CliOptionsTest, FileSizeLimitFailsTheWriteNotTheProcess) {
    drive.writeFile("big/large.mp3", testsupport::patternBytes(600000, 9));
    const std::pair<const char*, const char*> cases[] = {
        {"copy", "Внешняя ошибка Tunewagon:Copy:4 - ошибка при записи файла приемника: нет места на диске"},
        {"system-copy",
         "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: нет места на диске"},
    };
    CliOptions limited;
    limited.fileSizeLimit = 200000;
    for (const auto& [mode, errorLine] : cases) {
        SCOPED_TRACE(mode);
        CliResult result =
            cli({"--mode", mode, "--flat", "--files", "big/large.mp3", SoloPath, "--to", "out"}, limited);
        ASSERT_EQ(result.signal, 0);
        EXPECT_EQ(result.exitCode, 4) << result.err;
        EXPECT_TRUE(result.out.ends_with("\nСкопировано: 1, пропущено: 0, с ошибками: 1, не найдено: 0\n"))
            << result.out;
        EXPECT_NE(result.out.find(logText({"  Копирование -> <out>/large.mp3 ...", errorLine})),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("\nКопирование завершено.\n"), std::string::npos) << result.out;
        EXPECT_EQ(filesUnder(drive, "out"), (std::vector<std::string>{"_playlist_.m3u", "solo.wav"}));
        std::filesystem::remove_all(drive.hostPath("out"));
    }
}

} // namespace
} // namespace clitest
