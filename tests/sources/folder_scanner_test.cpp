#include "sources/folder_scanner.h"

#include "sources/source_choice.h"

#include "support/temp_drive.h"
#include "track_list_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace sourcestest;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

class FolderScanTest : public testing::Test {
protected:
    // The relative paths that a walk from `start` hands to its step, in order.
    std::vector<std::string> walk(const std::string& start) {
        std::vector<std::string> paths;
        sources::ScanFolder(
            start, [&](const std::string& path, const platform::FolderEntry&) { paths.push_back(path); });
        return paths;
    }

    // The OrigFileName values that the folder source makes from `typed`, its listings keeping
    // only audio files as the source's do.
    std::vector<std::string> scan(const std::string& typed) {
        listDb = makeListDb();
        sources::ScanFolder(
            typed,
            [&](const std::string& path, const platform::FolderEntry& entry) {
                sources::AddFolderFile(*listDb, typed, path, entry);
            },
            sources::isAudioFile);
        return textsOf(fieldOfEntries(*listDb, store::TrackField::OrigFileName));
    }

    void link(const std::string& target, const std::string& at) {
        std::filesystem::create_directory_symlink(target, drive.hostPath(at));
    }

    testsupport::TempDrive drive{'D'};
    std::unique_ptr<store::TfdbObject> listDb = makeListDb();
};

// Pre-order: a folder's own files (by name without regard to case, hidden ones included),
// then each sub-folder down to its deepest level before the next; hidden folders are not
// entered.
TEST_F(FolderScanTest, WalksInPreOrderAndSkipsHiddenFolders) {
    for (const char* file :
         {"Music/z.mp3", "Music/B.txt", "Music/a.mp3", "Music/.hidden.ogg", "Music/Z/3.mp3",
          "Music/A/B/2.mp3", "Music/A/1.mp3", "Music/a2/x.mp3", "Music/.secret/no.mp3"}) {
        drive.writeFile(file);
    }
    EXPECT_THAT(walk("D:\\Music"), ElementsAre("\\.hidden.ogg", "\\a.mp3", "\\B.txt", "\\z.mp3", "\\A\\1.mp3",
                                               "\\A\\B\\2.mp3", "\\a2\\x.mp3", "\\Z\\3.mp3"));
}

// The listing runs ahead on a thread of its own: a step that throws while many folders wait in
// line ends the walk (no thread left waiting for room) and reaches the caller, and the order
// stays the walk's.
TEST_F(FolderScanTest, StepThatThrowsEndsTheWalk) {
    std::vector<std::string> all;
    for (int folder = 0; folder < 60; ++folder) {
        std::string name = "Music/" + std::string(folder < 10 ? "0" : "") + std::to_string(folder) + "/t.mp3";
        drive.writeFile(name);
        all.push_back("\\" + name.substr(6, 2) + "\\t.mp3");
    }
    EXPECT_EQ(walk("D:\\Music"), all);
    int steps = 0;
    EXPECT_THROW(sources::ScanFolder("D:\\Music",
                                     [&](const std::string&, const platform::FolderEntry&) {
                                         if (++steps == 3) {
                                             throw std::runtime_error("the list is full");
                                         }
                                     }),
                 std::runtime_error);
    EXPECT_EQ(steps, 3);
}

// Only the audio extensions, in any case, of files: not other extensions, names without a
// dot, or folders named like audio files (whose files are still walked). A link is judged by
// what it leads to, a link named like an audio file to a folder or to nothing is no file.
TEST_F(FolderScanTest, TakesAudioExtensionsInAnyCase) {
    for (const char* file :
         {"Music/a.MP3", "Music/b.Wav", "Music/c.mid", "Music/d.MIDI", "Music/a.mp3.bak", "Music/noext",
          "Music/.mp3", "Music/e.mp", "Music/x.mp3/inner.wma", "Elsewhere/t.bin"}) {
        drive.writeFile(file);
    }
    std::filesystem::create_symlink(drive.hostPath("Elsewhere/t.bin"), drive.hostPath("Music/f.ogg"));
    std::filesystem::create_symlink(drive.hostPath("Elsewhere/t.bin"), drive.hostPath("Music/g.txt"));
    std::filesystem::create_symlink(drive.hostPath("nowhere"), drive.hostPath("Music/h.mp3"));
    link(drive.hostPath("Elsewhere"), "Music/i.mp3");
    EXPECT_THAT(scan("D:\\Music"),
                ElementsAre("D:\\Music\\.mp3", "D:\\Music\\a.MP3", "D:\\Music\\b.Wav", "D:\\Music\\c.mid",
                            "D:\\Music\\d.MIDI", "D:\\Music\\f.ogg", "D:\\Music\\x.mp3\\inner.wma"));
}

// The starting folder as typed, with trailing backslashes or as a drive root, always gives
// single backslashes.
TEST_F(FolderScanTest, TrailingBackslashesAndDriveRoot) {
    drive.writeFile("Music/Sub/a.mp3");
    const std::vector<std::string> expected = {"D:\\Music\\Sub\\a.mp3"};
    EXPECT_EQ(scan("D:\\Music"), expected);
    EXPECT_EQ(scan("D:\\Music\\"), expected);
    EXPECT_EQ(scan("D:\\Music\\\\"), expected);
    EXPECT_EQ(scan("d:/Music"), std::vector<std::string>{"d:/Music\\Sub\\a.mp3"}) << "kept as typed";
    EXPECT_EQ(scan("D:\\"), expected);
    EXPECT_EQ(scan("D:"), expected);
}

// Entries carry the listed size (beyond 32 bits too), empty Desc and FileName, and no Len.
TEST_F(FolderScanTest, EntriesCarryTheListedSize) {
    drive.writeFile("Music/a.mp3", std::string(3000, 'a'));
    drive.writeFile("Music/big.wav");
    ASSERT_EQ(::truncate(drive.hostPath("Music/big.wav").c_str(), 5'000'000'000LL), 0);
    scan("D:\\Music");
    EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)),
                ElementsAre(3000, 5'000'000'000LL));
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::Desc)), ElementsAre("", ""));
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::FileName)), ElementsAre("", ""));
    EXPECT_THAT(fieldOfEntries(*listDb, store::TrackField::Len), testing::Each(store::StoreValue()));
}

// A hidden starting folder is walked; a missing one gives nothing and no error.
TEST_F(FolderScanTest, HiddenStartIsWalkedMissingStartGivesNothing) {
    drive.writeFile(".hidden/a.mp3");
    EXPECT_THAT(walk("D:\\.hidden"), ElementsAre("\\a.mp3"));
    EXPECT_THAT(walk("D:\\Missing"), IsEmpty());
    EXPECT_THAT(walk("Q:\\Unmapped"), IsEmpty());
}

// Links: a link back to an ancestor ends the walk there, a second link to a folder already
// walked is not walked again, and a link to a folder outside the tree is walked once.
TEST_F(FolderScanTest, LinkLoopsEnd) {
    drive.writeFile("Music/A/a.mp3");
    drive.writeFile("Outside/o.mp3");
    link(drive.hostPath("Music"), "Music/A/loop");
    link(drive.hostPath("Music/A"), "Music/B-again");
    link(drive.hostPath("Outside"), "Music/C-out");
    EXPECT_THAT(walk("D:\\Music"), ElementsAre("\\A\\a.mp3", "\\C-out\\o.mp3"));
}

// A sub-folder that cannot be listed contributes nothing and is named with the reason; the walk
// goes on.
TEST_F(FolderScanTest, UnreadableSubFolderIsSkipped) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    drive.writeFile("Music/A/a.mp3");
    drive.writeFile("Music/B/b.mp3");
    drive.writeFile("Music/C/c.mp3");
    ASSERT_EQ(::chmod(drive.hostPath("Music/B").c_str(), 0), 0);
    std::vector<std::string> paths;
    std::vector<std::string> leftOut;
    sources::ScanFolder(
        "D:\\Music", [&](const std::string& path, const platform::FolderEntry&) { paths.push_back(path); },
        {},
        [&](const std::string& path, const std::string& reason) { leftOut.push_back(path + " " + reason); });
    EXPECT_THAT(paths, ElementsAre("\\A\\a.mp3", "\\C\\c.mp3"));
    EXPECT_THAT(leftOut, ElementsAre("\\B доступ запрещён"));
}

// Makes the folders `names` one below the other under `parent` (a host folder) through folder
// descriptors, since their whole path may be longer than the host opens, and files in the
// last; the host length of that last folder's path.
size_t makeDeepTree(const std::string& parent, const std::vector<std::string>& names,
                    const std::vector<std::string>& files) {
    int fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY);
    size_t length = parent.size();
    for (const std::string& name : names) {
        EXPECT_EQ(::mkdirat(fd, name.c_str(), 0755), 0) << name.size();
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        length += 1 + name.size();
    }
    for (const std::string& file : files) {
        const int made = ::openat(fd, file.c_str(), O_WRONLY | O_CREAT, 0644);
        EXPECT_GE(made, 0) << file;
        ::close(made);
    }
    ::close(fd);
    return length;
}

// Where the host path of a file or folder is longer than the host opens (4,096 bytes with its
// NUL), the folder source leaves it out and names it, with the other files of the tree kept;
// one message names every place left out.
TEST_F(FolderScanTest, PathsLongerThanTheHostOpensAreNamed) {
    drive.writeFile("Music/a.mp3");
    std::vector<std::string> levels;
    size_t length = drive.hostPath("Music").size();
    while (length + 101 < 4096 - 100) {
        levels.push_back(std::string(100, static_cast<char>('a' + levels.size() % 26)));
        length += 101;
    }
    const std::string tooLongFile = std::string(4095 - length - 4, 'f') + ".mp3"; // a path of 4,096 bytes
    const std::string fits = std::string(4094 - length - 4, 'g') + ".mp3";        // of 4,095 bytes
    makeDeepTree(drive.hostPath("Music"), levels, {fits, tooLongFile});
    std::vector<std::string> deeper = levels;
    deeper.push_back(std::string(200, 'z'));
    {
        std::string folder = drive.hostPath("Music");
        for (const std::string& level : levels) {
            folder += "/" + level;
        }
        ASSERT_LT(folder.size(), 4096u);
        makeDeepTree(folder, {deeper.back()}, {"z.mp3"});
    }
    std::vector<std::string> messages;
    sources::readSource(*listDb, {.kind = sources::FolderSource, .folderPath = "D:\\Music"}, 0,
                        [&](const std::string& text) { messages.push_back(text); });
    std::string programFolder = "D:\\Music";
    std::string hostFolder = drive.hostPath("Music");
    for (const std::string& level : levels) {
        programFolder += "\\" + level;
        hostFolder += "/" + level;
    }
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::OrigFileName)),
                ElementsAre("D:\\Music\\a.mp3", programFolder + "\\" + fits));
    EXPECT_THAT(messages, ElementsAre("Пропущено \"" + hostFolder + "/" + tooLongFile +
                                      "\": путь длиннее 4096 байт\nПропущено \"" + hostFolder + "/" +
                                      deeper.back() + "\": путь длиннее 4096 байт"));
}

// Paths deeper than 255 characters are neither cut nor lost.
TEST_F(FolderScanTest, DeepPathsAreKeptWhole) {
    std::string folder = "Music";
    for (int level = 0; level < 6; ++level) {
        folder += "/" + std::string(60, static_cast<char>('a' + level));
    }
    drive.writeFile(folder + "/deep.mp3");
    const auto paths = scan("D:\\Music");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_GT(paths[0].size(), 360u);
    EXPECT_TRUE(paths[0].ends_with("\\deep.mp3"));
}

// A folder of 100,000 files gives 100,000 entries in name order.
TEST_F(FolderScanTest, HundredThousandFiles) {
    const std::string host = drive.hostPath("Many");
    std::filesystem::create_directory(host);
    for (int i = 0; i < 100000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/t%06d.mp3", i);
        const int fd = ::open((host + name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const auto paths = scan("D:\\Many");
    ASSERT_EQ(paths.size(), 100000u);
    EXPECT_EQ(paths.front(), "D:\\Many\\t000000.mp3");
    EXPECT_EQ(paths[51234], "D:\\Many\\t051234.mp3");
    EXPECT_EQ(paths.back(), "D:\\Many\\t099999.mp3");
}

TEST(ExtensionOf, FromTheLastDotUnlessASeparatorFollows) {
    const std::pair<const char*, const char*> cases[] = {
        {"\\a.MP3", ".mp3"}, {"\\a.mp3.bak", ".bak"}, {"\\.mp3", ".mp3"},
        {"\\noext", ""},     {"\\x.mp3\\inner", ""},  {"D:a", ""},
        {"a.b:c", ""},       {"\\a.", "."},           {"\\\xD0\x90.MP3", ".mp3"},
    };
    for (const auto& [path, extension] : cases) {
        EXPECT_EQ(sources::fileExtensionOf(path), extension) << path;
    }
}

} // namespace
