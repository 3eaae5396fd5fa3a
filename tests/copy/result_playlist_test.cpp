// The result playlist: its path, its bytes, the question after it, a playlist that cannot be
// written, and reading it back.
#include "copy/result_playlist.h"

#include "copy_fixture.h"
#include "platform/drives.h"
#include "platform/host_names.h"
#include "sources/playlist_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

using copytest::CopyFixture;
using Lines = std::vector<std::string>;

using ResultPlaylistTest = CopyFixture;

// One separator before the name, whatever the destination ends with.
TEST(PlaylistPath, OneBackslashBeforeTheName) {
    EXPECT_EQ(copy::resultPlaylistPath("D:\\"), "D:\\_playlist_.m3u");
    EXPECT_EQ(copy::resultPlaylistPath("D:\\Music"), "D:\\Music\\_playlist_.m3u");
    EXPECT_EQ(copy::resultPlaylistPath("D:\\Music\\"), "D:\\Music\\_playlist_.m3u");
    EXPECT_EQ(copy::resultPlaylistPath("D:\\Music\\\\"), "D:\\Music\\_playlist_.m3u");
    EXPECT_EQ(copy::resultPlaylistPath("\\\\server\\share"), "\\\\server\\share\\_playlist_.m3u");
}

// An empty list gives the header alone: nine bytes.
TEST_F(ResultPlaylistTest, EmptyListIsNineBytes) {
    EXPECT_EQ(copy::resultPlaylistText(listDb, {.destFolder = "D:\\"}), std::string("#EXTM3U\r\n"));
}

// Info lines only for entries with a description, the length as a signed 16-bit number, the
// texts as stored, CR LF after every line; paths relative to the destination with "/".
TEST_F(ResultPlaylistTest, BytesOfEveryKindOfEntry) {
    addEntry("D:\\src\\1.mp3", "D:\\out\\01 Artist - Title.mp3", "Artist - Title", 215);
    addEntry("D:\\src\\2.mp3", "D:\\out\\2.mp3", "Live, 1999", -1);
    addEntry("D:\\src\\3.mp3", "D:\\out\\3.mp3", "Long", 40000);
    addEntry("D:\\src\\4.mp3", "D:\\out\\4.mp3");
    addEntry("D:\\src\\5.mp3", "D:\\out\\Сон\\Сон.mp3", "Без длины");
    EXPECT_EQ(copy::resultPlaylistText(listDb, {.destFolder = "D:/out/"}), "#EXTM3U\r\n"
                                                                           "#EXTINF:215,Artist - Title\r\n"
                                                                           "01 Artist - Title.mp3\r\n"
                                                                           "#EXTINF:-1,Live, 1999\r\n"
                                                                           "2.mp3\r\n"
                                                                           "#EXTINF:-25536,Long\r\n"
                                                                           "3.mp3\r\n"
                                                                           "4.mp3\r\n"
                                                                           "#EXTINF:0,Без длины\r\n"
                                                                           "Сон/Сон.mp3\r\n");
}

// Each line is the host path of the copy, in either form: a host name's colon as itself, a copy
// that the existing-file policy numbered under that name, and a copy in the destination's root.
TEST_F(ResultPlaylistTest, LinesNameTheCopiesAsTheHostDoes) {
    const std::string colon = platform::programNameOfHostName("Live: Moscow");
    addEntry("D:\\src\\1.mp3", "D:\\out\\" + colon + "\\1.mp3");
    addEntry("D:\\src\\2.mp3", "D:\\out\\A\\2.mp3");
    addEntry("D:\\src\\3.mp3", "Z:\\tmp\\elsewhere.mp3");
    const std::map<int, std::string> landed = {{1, "D:\\out\\A\\2 (1).mp3"}};
    const std::string root = drive.hostRoot();
    struct Case {
        copy::PlaylistPaths paths;
        Lines lines;
    } cases[] = {
        {.paths = copy::PlaylistPaths::Relative,
         .lines = {"Live: Moscow/1.mp3", "A/2 (1).mp3", "/tmp/elsewhere.mp3"}},
        {.paths = copy::PlaylistPaths::Absolute,
         .lines = {root + "/out/Live: Moscow/1.mp3", root + "/out/A/2 (1).mp3", "/tmp/elsewhere.mp3"}},
    };
    for (const Case& c : cases) {
        std::string expected = "#EXTM3U\r\n";
        for (const std::string& line : c.lines) {
            expected += line + "\r\n";
        }
        EXPECT_EQ(copy::resultPlaylistText(
                      listDb, {.destFolder = "D:\\out", .paths = c.paths, .landedNames = &landed}),
                  expected);
    }
}

// The file replaces an older one; Yes opens it with the default handler, No leaves it be.
TEST_F(ResultPlaylistTest, WritesThenAsksToOpen) {
    addEntry("D:\\src\\1.mp3", "D:\\1.mp3", "A - B", 215);
    drive.writeFile("_playlist_.m3u", "an older, longer playlist that is replaced");
    for (bool yes : {false, true}) {
        view.answerYes = yes;
        view.log.clear();
        copy::WritePlaylist({.DestFolder = "D:\\"}, listDb, {}, display);
        EXPECT_EQ(drive.readFile("_playlist_.m3u"), "#EXTM3U\r\n#EXTINF:215,A - B\r\n1.mp3\r\n");
        EXPECT_EQ(view.log,
                  Lines{"Сохранение нового плейлиста: \"" + drive.hostRoot() + "/_playlist_.m3u\" ..."});
        EXPECT_EQ(view.questions.back(), "Открыть плейлист со скопированными файлами?");
        EXPECT_EQ(view.openedDocuments, yes ? Lines{"D:\\_playlist_.m3u"} : Lines{});
    }
}

// A playlist that cannot be written (its name taken by a folder, a full disk) is reported as
// not saved, with the reason, and nothing is asked or opened.
TEST_F(ResultPlaylistTest, UnwritablePlaylistIsReported) {
    const std::string shown = drive.hostRoot() + "/Music/_playlist_.m3u";
    const std::string saving = "Сохранение нового плейлиста: \"" + shown + "\" ...";
    const std::string notSaved = "Не удалось сохранить плейлист \"" + shown + "\"";
    const Lines expected = {saving, notSaved + ": это папка или устройство, а не файл"};
    addEntry("D:\\src\\1.mp3", "D:\\Music\\1.mp3", "A - B", 215);
    view.answerYes = true;
    drive.makeFolder("Music/_playlist_.m3u");
    copy::WritePlaylist({.DestFolder = "D:\\Music\\"}, listDb, {}, display);
    EXPECT_EQ(view.log, expected);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_TRUE(view.openedDocuments.empty());

    ::rmdir(drive.hostPath("Music/_playlist_.m3u").c_str());
    auto childLog = testsupport::runWithFileSizeLimit(5, [&] {
        view.log.clear();
        copy::WritePlaylist({.DestFolder = "D:\\Music\\"}, listDb, {}, display);
        std::string text;
        for (const std::string& line : view.log) {
            text += line + "\n";
        }
        return text + std::to_string(view.questions.size());
    });
    ASSERT_TRUE(childLog.has_value());
    EXPECT_EQ(*childLog, saving + "\n" + notSaved + ": нет места на диске\n0");
    EXPECT_EQ(testsupport::filesUnder(drive, "Music"), Lines{});
}

} // namespace

// A playlist written for copies with hostile host names reads back as those very copies, in
// either path form: names that hold "\" (one that would climb out of the folder), begin with
// "#" or a blank, end with a blank, hold a line end or a tab, are no UTF-8, hold a "%", or look
// like a drive; a plain Cyrillic name beside them stays a plain line and is still found.
TEST_F(ResultPlaylistTest, HostileNamesReadBackAsTheCopies) {
    const std::vector<std::string> names = {
        "q\\..\\..\\..\\outside\\x.mp3",
        "#1's/a.mp3",
        "#hash.mp3",
        " lead.mp3",
        "trail.mp3 ",
        "new\nline.mp3",
        "cr\r.mp3",
        "tab\tin.mp3",
        "bad \xFF\xFE name.mp3",
        "100%25 %D0%97.mp3",
        "C:x.mp3",
        "Live: Moscow/file:x.mp3",
        "Зима/Зима.mp3",
    };
    drive.writeFile("outside/x.mp3", "not a copy");
    std::vector<std::string> hostPaths;
    for (const std::string& name : names) {
        const std::string hostPath = drive.hostRoot() + "/out/" + name;
        const size_t slash = hostPath.rfind('/');
        std::filesystem::create_directories(hostPath.substr(0, slash));
        std::ofstream(hostPath) << "copy";
        std::string programName;
        for (size_t start = 0; start <= name.size();) {
            const size_t end = std::min(name.find('/', start), name.size());
            programName +=
                (start ? "\\" : "") + platform::programNameOfHostName(name.substr(start, end - start));
            start = end + 1;
        }
        addEntry("D:\\src\\a.mp3", "D:\\out\\" + programName, "Описание");
        hostPaths.push_back(hostPath);
    }
    for (copy::PlaylistPaths paths : {copy::PlaylistPaths::Relative, copy::PlaylistPaths::Absolute}) {
        drive.writeFile("out/_playlist_.m3u",
                        copy::resultPlaylistText(listDb, {.destFolder = "D:\\out", .paths = paths}));
        store::TfdbObject readBack;
        store::createTrackListLayout(readBack);
        sources::ReadPlaylist(readBack, "D:\\out\\_playlist_.m3u", 0, {});
        Lines read;
        store::forEachTrackEntry(readBack, [&](int, const store::TrackEntry& entry) {
            read.push_back(platform::toHostPath(entry.OrigFileName).value_or("(none) " + entry.OrigFileName));
            EXPECT_EQ(entry.Desc, "Описание");
        });
        EXPECT_EQ(read, hostPaths);
    }
    const std::string relative = copy::resultPlaylistText(listDb, {.destFolder = "D:\\out"});
    EXPECT_NE(relative.find("\r\nЗима/Зима.mp3\r\n"), std::string::npos);
    EXPECT_NE(relative.find("\r\nLive: Moscow/file:x.mp3\r\n"), std::string::npos);
}
