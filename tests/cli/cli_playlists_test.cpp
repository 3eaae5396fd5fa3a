// Playlists as other programs write them, run end to end: which lines find their files, the
// names the copies get, and the result playlist as a player on this host reads it.
#include "cli_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace clitest {
namespace {

using testsupport::filesUnder;
using Lines = std::vector<std::string>;

const std::string Winter = "Music/Зима (1999)/01 Снег.mp3";
const std::string Live = "Music/Live: Moscow 1999/02 Part 1: Intro.mp3";
// "Зима (1999)\01 Снег.mp3" and "Снег" in Windows-1251.
const std::string WinterCp1251 = "\xC7\xE8\xEC\xE0 (1999)\\01 \xD1\xED\xE5\xE3.mp3";
const std::string SnowCp1251 = "\xD1\xED\xE5\xE3";

struct PlaylistCase {
    const char* what;
    std::string name;  // below Lists/
    std::string bytes; // "<root>" stands for the fixture's host folder
    Lines options = {};
    Lines copies = {};         // below out/, folders left out
    std::string playlist = {}; // the lines after "#EXTM3U", each ended by CR LF
    std::string err = {};      // "<root>" as above
};

std::string withRoot(std::string text, const std::string& root) {
    for (size_t at = text.find("<root>"); at != std::string::npos; at = text.find("<root>", at)) {
        text.replace(at, 6, root);
        at += root.size();
    }
    return text;
}

bool validUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct CliPlaylists : CliTest {
    CliPlaylists() {
        // The drive's helpers take no ":" in a name; these are host paths.
        for (const auto& [path, bytes] : {std::pair{Winter, testsupport::patternBytes(1500, 1)},
                                          std::pair{Live, testsupport::patternBytes(1200, 2)}}) {
            std::filesystem::create_directories(std::filesystem::path(h(path)).parent_path());
            std::ofstream(h(path), std::ios::binary) << bytes;
        }
    }
};

// Each playlist finds its files, the copies have the names on disk that the lines give (valid
// UTF-8, a host name's colon kept), and the result playlist lists them relative to itself.
TEST_F(CliPlaylists, RealWorldPlaylistsFindTheirFiles) {
    const PlaylistCase cases[] = {
        {.what = "Windows-1251, Windows separators, CR LF",
         .name = "old.m3u",
         .bytes = "#EXTM3U\r\n#EXTINF:200," + SnowCp1251 + "\r\n..\\Music\\" + WinterCp1251 + "\r\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "#EXTINF:200,Снег\r\nЗима (1999)/01 Снег.mp3\r\n"},
        {.what = "UTF-8 with a byte-order mark",
         .name = "bom.m3u",
         .bytes = "\xEF\xBB\xBF#EXTM3U\n#EXTINF:200,Снег\n../" + Winter + "\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "#EXTINF:200,Снег\r\nЗима (1999)/01 Снег.mp3\r\n"},
        {.what = "UTF-8 without a mark, a decimal length",
         .name = "plain.m3u",
         .bytes = "#EXTM3U\n#EXTINF:123.45,Снег\n../" + Winter + "\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "#EXTINF:123,Снег\r\nЗима (1999)/01 Снег.mp3\r\n"},
        {.what = ".m3u8, whose broken bytes are not taken for Windows-1251 and are named",
         .name = "list.m3u8",
         .bytes = "#EXTM3U\n#EXTINF:5,Sn\xFF"
                  "w\n../" +
                  Winter + "\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "#EXTINF:5,Sn\xEF\xBF\xBDw\r\nЗима (1999)/01 Снег.mp3\r\n",
         .err = "Плейлист \"<root>/Lists/list.m3u8\" записан в UTF-8, но строки 2 не в UTF-8: неверные байты "
                "заменены знаком \"\xEF\xBF\xBD\"\n"},
        {.what = "file:// with percent escapes",
         .name = "url.m3u",
         .bytes = "#EXTM3U\nfile://<root>/Music/%D0%97%D0%B8%D0%BC%D0%B0%20%281999%29/"
                  "01%20%D0%A1%D0%BD%D0%B5%D0%B3.mp3\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "Зима (1999)/01 Снег.mp3\r\n"},
        {.what = "a Windows drive mapped with --drive",
         .name = "drive.m3u",
         .bytes = "#EXTM3U\r\nD:\\Music\\Зима (1999)\\01 Снег.mp3\r\n",
         .options = {"--drive", "D:=<root>"},
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "Зима (1999)/01 Снег.mp3\r\n"},
        {.what = "a Windows drive found by the tail search",
         .name = "far.m3u",
         .bytes = "#EXTM3U\r\nE:\\Media\\Music\\Зима (1999)\\01 Снег.mp3\r\n",
         .copies = {"Зима (1999)/01 Снег.mp3"},
         .playlist = "Зима (1999)/01 Снег.mp3\r\n",
         .err = "Строка плейлиста \"E:\\Media\\Music\\Зима (1999)\\01 Снег.mp3\" найдена здесь: <root>/" +
                Winter + "\n"},
        {.what = "host names with colons",
         .name = "live.m3u",
         .bytes = "#EXTM3U\n../" + Live + "\n",
         .copies = {"Live: Moscow 1999/02 Part 1: Intro.mp3"},
         .playlist = "Live: Moscow 1999/02 Part 1: Intro.mp3\r\n"},
    };
    for (const PlaylistCase& c : cases) {
        SCOPED_TRACE(c.what);
        drive.writeFile("Lists/" + c.name, withRoot(c.bytes, drive.hostRoot()));
        Lines args = {"--playlist", "Lists/" + c.name, "out"};
        for (const std::string& option : c.options) {
            args.push_back(withRoot(option, drive.hostRoot()));
        }
        CliResult result = cli(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, withRoot(c.err, drive.hostRoot()));
        Lines copies;
        for (const std::string& file : filesUnder(drive, "out")) {
            EXPECT_TRUE(validUtf8(file)) << file;
            if (!file.ends_with("/") && file != "_playlist_.m3u") {
                copies.push_back(file);
            }
        }
        EXPECT_EQ(copies, c.copies);
        EXPECT_EQ(drive.readFile("out/_playlist_.m3u"), "#EXTM3U\r\n" + c.playlist);
        std::filesystem::remove_all(drive.hostPath("out"));
    }
}

// --list marks each source: found, found elsewhere by the tail search, or missing; a missing
// source is named once on stderr however often the playlist lists it. An entry listed twice is
// written numbered the second time, as its fifth field says.
TEST_F(CliPlaylists, ListMarksMissingAndRelocatedSources) {
    drive.writeFile("Lists/mixed.m3u", "#EXTM3U\r\n../" + Winter +
                                           "\r\nE:\\Old\\Music\\Зима (1999)\\01 Снег.mp3\r\n" +
                                           "gone.mp3\r\ngone.mp3\r\n");
    CliResult result = cli({"--list", "--flat", "--playlist", "Lists/mixed.m3u", "out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string source = h(Winter);
    const auto twice = [](const std::string& name, const std::string& numbered) {
        return "Имя совпадает с именем другой записи списка (\"" + name + "\"); будет записано как \"" +
               numbered + "\"";
    };
    // A row with states says them in a sixth field, in the preview's words; the totals close.
    const std::string relocated =
        "найден в другом месте (в плейлисте: \"E:\\Old\\Music\\Зима (1999)\\01 Снег.mp3\")";
    const std::string refused = "не подходит для тома как есть";
    EXPECT_EQ(
        result.out,
        "\t" + source + "\t" + h("out/01 Снег.mp3") + "\tok\t\n" + "\t" + source + "\t" +
            h("out/01 Снег.mp3") + "\trelocated\t" + twice("01 Снег.mp3", "01 Снег (1).mp3") + "\t" +
            relocated + "; " + refused + "\n" + "\t" + h("Lists/gone.mp3") + "\t" + h("out/gone.mp3") +
            "\tmissing\t\tисточник не найден\n" + "\t" + h("Lists/gone.mp3") + "\t" + h("out/gone.mp3") +
            "\tmissing\t" + twice("gone.mp3", "gone (1).mp3") + "\tисточник не найден; " + refused + "\n" +
            "# Файлов: 4, размер: 3000 байт (на томе: 8192 байт); не найдено: 2, найдено в другом месте: 1, "
            "уже в приемнике: 0, не подходят для тома: 2, за пределом ограничения: 0\n");
    EXPECT_EQ(result.err, "Строка плейлиста \"E:\\Old\\Music\\Зима (1999)\\01 Снег.mp3\" найдена здесь: " +
                              source + "\nФайл не найден: " + h("Lists/gone.mp3") + "\n");
}

// A pipe, a folder or a socket named in a playlist is told as no file, not as a missing one.
TEST_F(CliPlaylists, SourcesThatAreNoFilesAreToldSo) {
    drive.makeFolder("Lists/folder.mp3");
    ASSERT_EQ(::mkfifo(drive.hostPath("Lists/pipe.mp3").c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = drive.hostPath("Lists/s.mp3");
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    drive.writeFile("Lists/odd.m3u", "#EXTM3U\r\nfolder.mp3\r\npipe.mp3\r\ns.mp3\r\ngone.mp3\r\n");
    CliResult result = cli({"--list", "--playlist", "Lists/odd.m3u", "out"});
    ::close(sock);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string notAFile = " (это папка или устройство, а не файл)\n";
    EXPECT_EQ(result.err, "Не файл: " + h("Lists/folder.mp3") + notAFile + "Не файл: " + h("Lists/pipe.mp3") +
                              notAFile + "Не файл: " + h("Lists/s.mp3") + notAFile +
                              "Файл не найден: " + h("Lists/gone.mp3") + "\n");
}

// A copy whose host name would climb out of its folder as a plain line ("q\..\..\outside\x.mp3")
// is listed so that the result playlist, used as the source of a move, moves that very copy and
// leaves the file outside alone.
TEST_F(CliPlaylists, ResultPlaylistAsSourceMovesOnlyTheCopies) {
    const std::string climbing = "q\\..\\..\\..\\outside\\x.mp3";
    std::filesystem::create_directories(h("src"));
    std::ofstream(h("src/" + climbing), std::ios::binary) << "copy me";
    drive.writeFile("outside/x.mp3", "stay here");
    ASSERT_EQ(cli({"--flat", "--folder", "src", "out"}).exitCode, 0);
    CliResult result = cli({"--flat", "--mode", "move", "--playlist", "out/_playlist_.m3u", "out2"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(drive.readFile("outside/x.mp3"), "stay here");
    EXPECT_EQ(filesUnder(drive, "out"), Lines{"_playlist_.m3u"});
    EXPECT_EQ(filesUnder(drive, "out2"), (Lines{"_playlist_.m3u", climbing}));
}

// A length that does not convert names the playlist and the line.
TEST_F(CliPlaylists, BadLengthNamesFileAndLine) {
    drive.writeFile("Lists/bad.m3u", "#EXTM3U\r\n#EXTINF:12a,Снег\r\n../" + Winter + "\r\n");
    CliResult result = cli({"--playlist", "Lists/bad.m3u", "out"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "'12a' - не целое число (плейлист \"" + h("Lists/bad.m3u") + "\", строка 2)\n");
}

// The result playlist as a player on this host opens it: each line that is no comment is a
// path, relative to the playlist's folder unless it begins with "/". Every copy is found with
// the bytes of its source (a numbered copy beside an older file of the same name included),
// in both path forms, and in the relative form also after the destination has been moved.
TEST_F(CliPlaylists, PlayerFindsEveryCopy) {
    namespace fs = std::filesystem;
    drive.writeFile("Music/A/Intro.mp3", testsupport::patternBytes(900, 3));
    drive.writeFile("Music/B/Intro.mp3", testsupport::patternBytes(800, 4));
    drive.writeFile("Lists/all.m3u", "#EXTM3U\n#EXTINF:1,Снег\n../" + Winter + "\n../" + Live +
                                         "\n../Music/A/Intro.mp3\n../Music/B/Intro.mp3\n");
    const Lines sources = {Winter, Live, "Music/A/Intro.mp3", "Music/B/Intro.mp3"};
    // What the player finds for each line, in order.
    const auto play = [&](const fs::path& playlist) {
        std::ifstream in(playlist, std::ios::binary);
        Lines found;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.empty() || line.front() == '#') {
                continue;
            }
            const fs::path path = line.front() == '/' ? fs::path(line) : playlist.parent_path() / line;
            found.push_back(fs::is_regular_file(path) ? bytesOf(path) : "missing: " + line);
        }
        return found;
    };
    Lines expected;
    for (const std::string& source : sources) {
        expected.push_back(bytesOf(h(source)));
    }
    for (const char* mode : {"relative", "absolute"}) {
        SCOPED_TRACE(mode);
        // The flat run puts both intros in one folder: the second gets a numbered name.
        CliResult result = cli({"--flat", "--playlist-paths", mode, "--playlist", "Lists/all.m3u", "out"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        ASSERT_TRUE(drive.exists("out/Intro (1).mp3"));
        EXPECT_EQ(play(drive.hostPath("out/_playlist_.m3u")), expected);
        if (std::string(mode) == "relative") {
            fs::rename(drive.hostPath("out"), drive.hostPath("moved"));
            EXPECT_EQ(play(drive.hostPath("moved/_playlist_.m3u")), expected);
            fs::remove_all(drive.hostPath("moved"));
        } else {
            fs::remove_all(drive.hostPath("out"));
        }
    }
}

} // namespace
} // namespace clitest
