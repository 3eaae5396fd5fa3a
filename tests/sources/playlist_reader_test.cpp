#include "sources/playlist_reader.h"

#include "platform/drives.h"
#include "sources/playlist_lines.h"
#include "sources/source_error.h"
#include "support/temp_drive.h"
#include "texts/text_table.h"
#include "track_list_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace sourcestest;
using testing::ElementsAre;
using testing::IsEmpty;

const std::string NotAPlaylist = texts::GetText(122);

class PlaylistTest : public testing::Test {
protected:
    // Reads `content` as the playlist D:\Lists\a.m3u (or `path`).
    std::vector<Entry> read(const std::string& content, int64_t sizeLimit = 0,
                            const std::string& path = "Lists/a.m3u") {
        drive.writeFile(path, content);
        sources::ReadPlaylist(*listDb, drive.programPath(path), sizeLimit, record);
        return entriesOf(*listDb);
    }

    testsupport::TempDrive drive{'D'};
    std::unique_ptr<store::TfdbObject> listDb = makeListDb();
    std::vector<std::string> messages;
    sources::ShowMessage record = [this](const std::string& text) { messages.push_back(text); };
};

// The same playlist with every kind and mix of line ends, blank lines and no final line end
// gives the same list.
TEST_F(PlaylistTest, LineEndsOfAnyKindGiveTheSameList) {
    const std::vector<std::string> lines = {"#EXTM3U", "#EXTINF:215,Artist - Title", "Music\\b.mp3", "c.mp3"};
    const std::vector<std::pair<std::string, std::string>> joins = {
        {"\r\n", "\r\n"}, {"\n", "\n"}, {"\r", ""}, {"\n\r\n\r\r\n", ""}, {"\r\n\n", "\r"}};
    for (const auto& [between, atEnd] : joins) {
        std::string content;
        for (const auto& line : lines) {
            content += (content.empty() ? "" : between) + line;
        }
        listDb = makeListDb();
        EXPECT_THAT(read(content + atEnd),
                    ElementsAre(Entry{"D:\\Lists\\Music\\b.mp3", "Artist - Title", 215},
                                Entry{"D:\\Lists\\c.mp3", "", 0}))
            << testing::PrintToString(content);
    }
    EXPECT_THAT(messages, IsEmpty());
}

struct HeaderCase {
    const char* what;
    std::string content;
    bool isPlaylist;
};

// Only an exact "#EXTM3U" as the first non-empty line makes a playlist, after a UTF-8 byte-order
// mark or none; otherwise text 122 is shown and the list stays empty.
TEST_F(PlaylistTest, HeaderRules) {
    const HeaderCase cases[] = {
        {"exact", "#EXTM3U\r\na.mp3", true},
        {"after empty lines", "\r\n\n\r#EXTM3U\na.mp3", true},
        {"lower case", "#extm3u\r\na.mp3", false},
        {"trailing blank", "#EXTM3U \r\na.mp3", false},
        {"byte-order mark", "\xEF\xBB\xBF#EXTM3U\r\na.mp3", true},
        {"byte-order mark, then blanks", "\xEF\xBB\xBF \r\n#EXTM3U\r\na.mp3", false},
        {"byte-order mark twice", "\xEF\xBB\xBF\xEF\xBB\xBF#EXTM3U\r\na.mp3", false},
        {"blank line first", " \r\n#EXTM3U\r\na.mp3", false},
        {"no header", "a.mp3\r\n", false},
        {"long first line", "#EXTM3U-and-much-more-text-on-the-same-line\r\na.mp3", false},
    };
    for (const auto& c : cases) {
        listDb = makeListDb();
        messages.clear();
        const auto entries = read(c.content);
        EXPECT_EQ(entries.size(), c.isPlaylist ? 1u : 0u) << c.what;
        EXPECT_EQ(messages,
                  c.isPlaylist ? std::vector<std::string>{} : std::vector<std::string>{NotAPlaylist})
            << c.what;
    }
}

// An empty file, or one of line ends only, is an empty playlist without a message.
TEST_F(PlaylistTest, EmptyFileGivesEmptyListSilently) {
    EXPECT_THAT(read(""), IsEmpty());
    EXPECT_THAT(read("\r\n\n\r"), IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
}

// Info lines: the text after the first comma verbatim, -1 and hexadecimal lengths, the
// second of two info lines, comments between, a file line without info, an info line without
// comma, and a trailing info line without effect.
TEST_F(PlaylistTest, InfoLinesGovernTheNextFileLine) {
    const std::string content = "#EXTM3U\n"
                                "#EXTINF:215,Artist - Title, Live, 1999\n"
                                "a.mp3\n"
                                "#EXTINF:-1, Blank first\n"
                                "b.mp3\n"
                                "#EXTINF:10,First\n"
                                "#comment\n"
                                "#EXTINF:$1F,Second\n"
                                "#EXTM3U\n"
                                "c.mp3\n"
                                "d.mp3\n"
                                "#EXTINF:42\n"
                                "e.mp3\n"
                                "#EXTINF: 7,\n"
                                "f.mp3\n"
                                "#EXTINF:99,Dangling\n";
    EXPECT_THAT(read(content),
                ElementsAre(Entry{"D:\\Lists\\a.mp3", "Artist - Title, Live, 1999", 215},
                            Entry{"D:\\Lists\\b.mp3", " Blank first", -1},
                            Entry{"D:\\Lists\\c.mp3", "Second", 31}, Entry{"D:\\Lists\\d.mp3", "", 0},
                            Entry{"D:\\Lists\\e.mp3", "", 42}, Entry{"D:\\Lists\\f.mp3", "", 7}));
}

// What each kind of file line becomes with the playlist D:\Lists\a.m3u.
TEST_F(PlaylistTest, FileLinesAreMadeFullAgainstThePlaylistFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"Music\\b.mp3", "D:\\Lists\\Music\\b.mp3"},
        {"..\\Up\\b.mp3", "D:\\Lists\\..\\Up\\b.mp3"},
        {"Music\\\\b.mp3", "D:\\Lists\\Music\\b.mp3"},
        {"Music/Sub/b.mp3", "D:\\Lists\\Music\\Sub\\b.mp3"},
        {"\t  spaced.mp3  \x01", "D:\\Lists\\spaced.mp3"},
        {"\\Other\\b.mp3", "\\Other\\b.mp3"},
        {"/home/ann/b.mp3", "Z:\\home\\ann\\b.mp3"},
        {"E:\\Music\\b.mp3", "E:\\Music\\b.mp3"},
        {"e:/Music/b.mp3", "e:\\Music\\b.mp3"},
        {"\\\\server\\share\\b.mp3", "\\\\server\\share\\b.mp3"},
        {"http://host/dir/b%20c.mp3", "http://host/dir/b%20c.mp3"},
        {"file:///home/ann/b.mp3", "Z:\\home\\ann\\b.mp3"},
        {"file:///home/ann/%D0%97%D0%B8%D0%BC%D0%B0%20%281999%29/01%20a.mp3",
         "Z:\\home\\ann\\Зима (1999)\\01 a.mp3"},
        {"file://remote/share/b.mp3", "file://remote/share/b.mp3"},
        // A colon that is no drive is a plain character of a host name (its stand-in here).
        {"Live: Moscow/02 Part 1: Intro.mp3",
         "D:\\Lists\\Live\xEF\x80\xBA Moscow\\02 Part 1\xEF\x80\xBA Intro.mp3"},
        {" #EXTINF:1,not info", "D:\\Lists\\#EXTINF\xEF\x80\xBA"
                                "1,not info"},
    };
    std::string content = "#EXTM3U\r\n";
    std::vector<std::string> expected;
    for (const auto& [line, full] : cases) {
        content += std::string(line) + "\r\n";
        expected.push_back(full);
    }
    read(content);
    EXPECT_EQ(textsOf(fieldOfEntries(*listDb, store::TrackField::OrigFileName)), expected);
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::FileName)), testing::Each(""));
}

// A line of blanks only makes no entry and leaves the pending info to the next file line.
TEST_F(PlaylistTest, BlankFileLineMakesNoEntry) {
    EXPECT_THAT(read("#EXTM3U\n#EXTINF:5,Song\n \t \nsong.mp3\n   "),
                ElementsAre(Entry{"D:\\Lists\\song.mp3", "Song", 5}));
}

// Relative lines of a playlist in a drive root, in the current folder and on a bare drive.
TEST_F(PlaylistTest, PlaylistFolderOfRootAndRelativePlaylists) {
    read("#EXTM3U\nb.mp3\nSub\\\\c.mp3\n", 0, "a.m3u");
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::OrigFileName)),
                ElementsAre("D:\\b.mp3", "D:\\Sub\\c.mp3"));

    // Every form of the playlist's path names the file beside it.
    drive.writeFile("Lists/rel.m3u", "#EXTM3U\nb.mp3\n");
    drive.writeFile("Lists/b.mp3", "12345");
    ASSERT_TRUE(platform::setCurrentFolder("D:\\Lists"));
    for (const char* path : {"rel.m3u", "D:rel.m3u", "D:/Lists/rel.m3u"}) {
        listDb = makeListDb();
        sources::ReadPlaylist(*listDb, path, 1, record);
        EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)), ElementsAre(5)) << path;
    }
}

// Sizes: -1 (a signed 8-bit value) without a limit; the real size, or 0 for a missing file,
// with one.
TEST_F(PlaylistTest, SizesAreMeasuredOnlyUnderALimit) {
    drive.writeFile("Lists/Music/b.mp3", std::string(1234, 'x'));
    const std::string content = "#EXTM3U\nMusic\\b.mp3\nmissing.mp3\n";
    read(content);
    const auto unmeasured = fieldOfEntries(*listDb, store::TrackField::Size);
    EXPECT_THAT(numbersOf(unmeasured), ElementsAre(-1, -1));
    EXPECT_EQ(unmeasured[0].kind(), store::StoreValue::Kind::Int8);

    listDb = makeListDb();
    read(content, 700 * 1000000LL);
    EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)), ElementsAre(1234, 0));
}

// A playlist that cannot be opened (missing, a folder, held by another program) raises the
// open error and appends nothing.
TEST_F(PlaylistTest, UnopenablePlaylistRaisesTheOpenError) {
    drive.makeFolder("Folder.m3u");
    drive.writeFile("held.m3u", "#EXTM3U\na.mp3\n");
    const int holder = ::open(drive.hostPath("held.m3u").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    // The message names the host path, or the text as given where no drive maps it.
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Lists\\none.m3u", drive.hostRoot() + "/Lists/none.m3u"},
        {"D:\\Folder.m3u", drive.hostRoot() + "/Folder.m3u"},
        {"D:\\held.m3u", drive.hostRoot() + "/held.m3u"},
        {"Q:\\unmapped.m3u", "Q:\\unmapped.m3u"},
    };
    for (const auto& [path, shown] : cases) {
        try {
            sources::ReadPlaylist(*listDb, path, 0, record);
            ADD_FAILURE() << path << " was read";
        } catch (const sources::SourceError& error) {
            const std::string prefix = "Cannot open file \"" + shown + "\". ";
            EXPECT_THAT(error.what(), testing::StartsWith(prefix));
            EXPECT_GT(std::string(error.what()).size(), prefix.size()) << "the reason follows";
        }
    }
    ::close(holder);
    EXPECT_THAT(entriesOf(*listDb), IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
}

// A length that does not convert raises its error naming the playlist's host path and the line
// (CR LF counts as one line end); the entries made before stay, as read.
TEST_F(PlaylistTest, BadLengthRaisesAndKeepsEarlierEntries) {
    const std::string content = "#EXTM3U\r\n#EXTINF:3,One\r\n one.mp3\r\n\r\n#EXTINF:1.5x,Two\r\ntwo.mp3\r\n";
    drive.writeFile("Lists/a.m3u", content);
    try {
        sources::ReadPlaylist(*listDb, "D:\\Lists\\a.m3u", 0, record);
        FAIL() << "no error";
    } catch (const sources::SourceError& error) {
        EXPECT_EQ(error.what(), "'1.5x' is not a valid integer value (playlist \"" + drive.hostRoot() +
                                    "/Lists/a.m3u\", line 5)");
    }
    EXPECT_THAT(entriesOf(*listDb), ElementsAre(Entry{" one.mp3", "One", 3}));
    // The playlist was closed on the way out.
    EXPECT_EQ(sources::FileSizeOf("D:\\Lists\\a.m3u"), static_cast<int64_t>(content.size()));
}

// Without its list folder the store can hold nothing: "Error #83042 !" is shown and the
// reading goes on to its end.
TEST_F(PlaylistTest, MissingListFolderIsReportedAndReadingGoesOn) {
    listDb->DSystem.ItemByPath("list/")->Delete(store::fdbDeleteAll);
    EXPECT_THAT(read("#EXTM3U\na.mp3\n"), IsEmpty());
    EXPECT_THAT(messages, ElementsAre("Error #83042 !"));
}

// A binary file is no playlist: text 122 and an empty list.
TEST_F(PlaylistTest, BinaryFileIsNoPlaylist) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += static_cast<char>((i * 7919 + i / 13) & 0xFF);
    }
    EXPECT_THAT(read(bytes), IsEmpty());
    EXPECT_THAT(messages, ElementsAre(NotAPlaylist));
}

// A file line longer than any path is skipped, with its description, and counted in one
// message at the end; a line of exactly the limit is kept whole, and a megabyte description is
// cut at 64 KiB with one message naming the playlist and the line.
TEST_F(PlaylistTest, OverlongFileLinesAreSkippedWithOneMessage) {
    const std::string atLimit(sources::MaxPathLineBytes, 'n');
    const std::string longDesc(1 << 20, 'd');
    const auto entries =
        read("#EXTM3U\r\n#EXTINF:1,Long\r\n" + std::string(sources::MaxPathLineBytes + 1, 'x') + "\r\n" +
             atLimit + "\r\n#" + std::string(1 << 20, 'c') + "\r\n#EXTINF:2," + longDesc +
             "\r\nb.mp3\r\nafter.mp3\r\n" + std::string(3 << 20, 'y'));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (Entry{"D:\\Lists\\" + atLimit, "", 0}));
    EXPECT_TRUE(entries[1].desc == longDesc.substr(0, 64 * 1024)) << entries[1].desc.size();
    EXPECT_EQ(entries[2], (Entry{"D:\\Lists\\after.mp3", "", 0}));
    EXPECT_THAT(messages, ElementsAre("Пропущено строк плейлиста длиннее 4096 байт: 2",
                                      "Плейлист \"" + drive.hostRoot() +
                                          "/Lists/a.m3u\": описание длиннее 64 КБ обрезано в строках 6"));
}

// A description is cut where a character begins, so the rest of it still reads as UTF-8; the
// lines of several cut descriptions are named in one message, the first ten by number.
TEST_F(PlaylistTest, LongDescriptionsAreCutWhereACharacterBegins) {
    std::string zhe;
    for (int i = 0; i < 40000; ++i) {
        zhe += "Ж";
    }
    std::string content = "#EXTM3U\n#EXTINF:7,x" + zhe + "\na.mp3\n";
    for (int i = 0; i < 11; ++i) {
        content += "#EXTINF:1," + std::string(70000, 'd') + "\nb.mp3\n";
    }
    const auto entries = read(content);
    ASSERT_EQ(entries.size(), 12u);
    EXPECT_TRUE(entries[0].desc == "x" + zhe.substr(0, 2 * 32767)) << entries[0].desc.size();
    EXPECT_EQ(entries[0].len, 7);
    EXPECT_THAT(messages, ElementsAre("Плейлист \"" + drive.hostRoot() +
                                      "/Lists/a.m3u\": описание длиннее 64 КБ обрезано в строках "
                                      "2, 4, 6, 8, 10, 12, 14, 16, 18, 20 и ещё 2"));
}

struct DecodingCase {
    const char* what;
    std::string path; // of the playlist
    std::string content;
    std::vector<Entry> entries;
    std::vector<int> damagedLines{}; // named in the one message of a UTF-8 playlist
};

// Each line is decoded on its own: UTF-8 where it is valid UTF-8, else Windows-1251, so a stray
// byte in a comment or a description changes no other line. A byte-order mark or ".m3u8" makes
// every line UTF-8: broken bytes become U+FFFD and the lines are named in one message.
TEST_F(PlaylistTest, EachLineIsDecodedOnItsOwn) {
    const std::string snow1251 = "\xD1\xED\xE5\xE3";
    const std::string bom = "\xEF\xBB\xBF";
    const std::string replaced = "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";
    const DecodingCase cases[] = {
        {.what = "Windows-1251 comment beside UTF-8 lines",
         .path = "Lists/a.m3u",
         .content = "#EXTM3U\n# " + snow1251 + "\n#EXTINF:1,Снег\nЗима.mp3\n",
         .entries = {{"D:\\Lists\\Зима.mp3", "Снег", 1}}},
        {.what = "Windows-1251 description of a UTF-8 path",
         .path = "Lists/a.m3u",
         .content = "#EXTM3U\n#EXTINF:1," + snow1251 + "\nЗима.mp3\n",
         .entries = {{"D:\\Lists\\Зима.mp3", "Снег", 1}}},
        {.what = "Windows-1251 lines throughout",
         .path = "Lists/a.m3u",
         .content = "#EXTM3U\n#EXTINF:1," + snow1251 + "\n" + snow1251 + ".mp3\n",
         .entries = {{"D:\\Lists\\Снег.mp3", "Снег", 1}}},
        {.what = "byte-order mark",
         .path = "Lists/a.m3u",
         .content = bom + "#EXTM3U\n#EXTINF:1," + snow1251 + "\nЗима.mp3\n# " + snow1251 + "\n" + snow1251 +
                    ".mp3\n",
         .entries = {{"D:\\Lists\\Зима.mp3", replaced, 1}, {"D:\\Lists\\" + replaced + ".mp3", "", 0}},
         .damagedLines = {2, 5}},
        {.what = ".m3u8",
         .path = "Lists/a.M3U8",
         .content = "#EXTM3U\r\n" + snow1251 + ".mp3\r\nЗима.mp3\r\n",
         .entries = {{"D:\\Lists\\" + replaced + ".mp3", "", 0}, {"D:\\Lists\\Зима.mp3", "", 0}},
         .damagedLines = {2}},
    };
    for (const DecodingCase& c : cases) {
        listDb = makeListDb();
        messages.clear();
        EXPECT_EQ(read(c.content, 0, c.path), c.entries) << c.what;
        std::vector<std::string> expected;
        if (!c.damagedLines.empty()) {
            std::string lines;
            for (int line : c.damagedLines) {
                lines += (lines.empty() ? "" : ", ") + std::to_string(line);
            }
            expected.push_back("Плейлист \"" + drive.hostRoot() + "/" + c.path +
                               "\" записан в UTF-8, но строки " + lines +
                               " не в UTF-8: неверные байты заменены знаком \"\xEF\xBF\xBD\"");
        }
        EXPECT_EQ(messages, expected) << c.what;
    }
}

// Linux keeps the peak of the process's resident memory (VmHWM); writing 5 to clear_refs
// starts it again from the present (VmRSS).
bool resetPeakMemory() {
    return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5" << std::flush);
}
int64_t memoryBytes(std::string_view field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field)) {
            return std::stoll(line.substr(field.size())) * 1024;
        }
    }
    return -1;
}

// A 64 MB file line or info line costs no more memory than a read piece: the file line's bytes
// are dropped as they come, and so are the info line's past its first 64 KiB.
TEST_F(PlaylistTest, OverlongLinesCostNoMemory) {
    struct Case {
        std::string line;
        Entry entry;
        std::string message;
    };
    const Case cases[] = {
        {.line = std::string(64 << 20, 'x'),
         .entry = {"D:\\Lists\\after.mp3", "", 0},
         .message = "Пропущено строк плейлиста длиннее 4096 байт: 1"},
        {.line = "#EXTINF:5," + std::string(64 << 20, 'd'),
         .entry = {"D:\\Lists\\after.mp3", std::string(64 * 1024, 'd'), 5},
         .message = "Плейлист \"" + drive.hostRoot() +
                    "/Lists/big.m3u\": описание длиннее 64 КБ обрезано в строках 3"},
    };
    for (const Case& c : cases) {
        { drive.writeFile("Lists/big.m3u", "#EXTM3U\n#EXTINF:1,x\n" + c.line + "\nafter.mp3\n"); }
        listDb = makeListDb();
        messages.clear();
        ASSERT_TRUE(resetPeakMemory());
        const int64_t before = memoryBytes("VmRSS:");
        sources::ReadPlaylist(*listDb, "D:\\Lists\\big.m3u", 0, record);
        const int64_t peak = memoryBytes("VmHWM:");
        ASSERT_GT(before, 0);
        EXPECT_LT(peak - before, int64_t{16} << 20) << c.message;
        const auto entries = entriesOf(*listDb);
        EXPECT_TRUE(entries == std::vector<Entry>{c.entry}) << c.message;
        EXPECT_THAT(messages, ElementsAre(c.message));
    }
}

// A 200 MB playlist (long comment lines, 10,000 entries) is read to its end.
TEST_F(PlaylistTest, TwoHundredMegabytePlaylist) {
    const std::string comment = "#" + std::string(998, 'c') + "\n";
    std::string content = "#EXTM3U\n";
    content.reserve(201 * 1000 * 1000);
    for (int i = 0; i < 10000; ++i) {
        for (int k = 0; k < 20; ++k) {
            content += comment;
        }
        content += "#EXTINF:" + std::to_string(i) + ",Track " + std::to_string(i) + "\n";
        content += "Music\\" + std::to_string(i) + ".mp3\n";
    }
    ASSERT_GT(content.size(), 200u * 1000 * 1000);
    const auto entries = read(content);
    ASSERT_EQ(entries.size(), 10000u);
    EXPECT_EQ(entries.front(), (Entry{"D:\\Lists\\Music\\0.mp3", "Track 0", 0}));
    EXPECT_EQ(entries.back(), (Entry{"D:\\Lists\\Music\\9999.mp3", "Track 9999", 9999}));
}

} // namespace
