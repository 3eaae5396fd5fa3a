#include "platform/drives.h"
#include "platform/files.h"
#include "platform/name_case.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using testsupport::TempDrive;

// Replaces "{D}" and "{E}" in a case text by the host folders of the two drives.
std::string expand(std::string text, const TempDrive& d, const TempDrive& e) {
    for (auto [mark, root] : {std::pair{"{D}", &d.hostRoot()}, std::pair{"{E}", &e.hostRoot()}}) {
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
            text.replace(at, 3, *root);
        }
    }
    return text;
}

class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        d.makeFolder("Work");
        ASSERT_TRUE(platform::setCurrentFolder("D:\\Work"));
    }
    TempDrive d{'D'};
    TempDrive e{'E'};
};

struct MappingCase {
    std::string program;
    std::optional<std::string> host; // with {D} and {E} for the drives' folders
};

// Program paths name the host paths below their drive's folder; the current folder is D:\Work.
TEST_F(DrivesTest, ProgramPathsMapToHostPaths) {
    const MappingCase cases[] = {
        {"D:\\Music\\a.mp3", "{D}/Music/a.mp3"},
        {"d:\\Music\\a.mp3", "{D}/Music/a.mp3"},
        {"D:/Music/a.mp3", "{D}/Music/a.mp3"},
        {"D:\\Music\\\\a.mp3", "{D}/Music/a.mp3"},
        {"D:\\Music\\", "{D}/Music"},
        {"D:\\", "{D}"},
        {"D:", "{D}/Work"},
        {"D:x.mp3", "{D}/Work/x.mp3"},
        {"E:x.mp3", "{E}/x.mp3"},
        {"e:/", "{E}"},
        {"\\Music\\a.mp3", "{D}/Music/a.mp3"},
        {"/Music/a.mp3", "{D}/Music/a.mp3"},
        {"a.mp3", "{D}/Work/a.mp3"},
        {".\\a.mp3", "{D}/Work/a.mp3"},
        {"..\\a.mp3", "{D}/a.mp3"},
        {"D:\\Music\\.\\Rock\\..\\a.mp3", "{D}/Music/a.mp3"},
        {"D:\\Music\\..\\..\\..\\a.mp3", "{D}/a.mp3"},
        {"Z:\\etc\\..\\..\\etc", "/etc"},
        {"file://{D}/Music/a%20b.mp3", "{D}/Music/a b.mp3"},
        {"FILE://localhost{D}/100%.mp3", "{D}/100%.mp3"},
        {"file:///D:/Music/a%20b.mp3", "{D}/Music/a b.mp3"},
        {"file:///e|/a.mp3", "{E}/a.mp3"},
        {"file://server/share/a.mp3", std::nullopt},
        {"file:///tmp/a%00b.mp3", std::nullopt},
        // An escape never makes one name several, nor a dot segment.
        {"file://{D}/Music/%2E%2E/a.mp3", std::nullopt},
        {"file://{D}/Music/x%2F..%2F..%2Fa.mp3", std::nullopt},
        {"file:///D:/Music/x%5C..%5C..%5Ca.mp3", std::nullopt},
        {"file://{D}/Music/./Rock/../a%5Cb.mp3", "{D}/Music/a\\b.mp3"},
        {"Q:\\a.mp3", std::nullopt},
        {"q:a.mp3", std::nullopt},
        {"\\\\server\\share\\a.mp3", std::nullopt},
        {"//server/share/a.mp3", std::nullopt},
        {"\\\\?\\D:\\a.mp3", std::nullopt},
        {"http://example.com/a.mp3", std::nullopt},
        {"1:\\a.mp3", std::nullopt},
        {"", std::nullopt},
        {std::string("D:\\a\0b.mp3", 10), std::nullopt},
    };
    for (const auto& c : cases) {
        std::string program = expand(c.program, d, e);
        auto expected = c.host ? std::optional(expand(*c.host, d, e)) : std::nullopt;
        EXPECT_EQ(platform::toHostPath(program), expected) << program;
    }
}

// Without a current drive only paths with a drive still name something.
TEST_F(DrivesTest, PathsWithoutDriveNeedACurrentDrive) {
    testsupport::SavedDriveTable savedTable;
    platform::unmountDrive('Z');
    ASSERT_TRUE(platform::setCurrentFolder("E:\\"));
    platform::unmountDrive('E'); // the current folder is now on no drive
    EXPECT_EQ(platform::currentFolder(), "");
    EXPECT_EQ(platform::currentDrive(), '\0');
    EXPECT_EQ(platform::toHostPath("a.mp3"), std::nullopt);
    EXPECT_EQ(platform::toHostPath("\\a.mp3"), std::nullopt);
    EXPECT_EQ(platform::toHostPath("D:a.mp3"), d.hostRoot() + "/a.mp3");
}

// Host paths come back through the longest mapped prefix, split only at whole names.
TEST_F(DrivesTest, HostPathsMapToProgramPaths) {
    testsupport::SavedDriveTable savedTable;
    platform::mountDrive('F', d.hostPath("Music"));
    std::string zName = "Z:" + d.hostRoot();
    std::replace(zName.begin(), zName.end(), '/', '\\');
    const std::pair<std::string, std::string> cases[] = {
        {"{D}/Work/a.mp3", "D:\\Work\\a.mp3"},
        {"{D}", "D:\\"},
        {"{D}/", "D:\\"},
        {"{D}/Work/../a.mp3", "D:\\a.mp3"},
        {"{D}/Music/Rock/a.mp3", "F:\\Rock\\a.mp3"},
        {"{D}x/a.mp3", zName + "x\\a.mp3"},
        {"/etc/hostname", "Z:\\etc\\hostname"},
        {"/", "Z:\\"},
        {"a.mp3", "D:\\Work\\a.mp3"},
    };
    for (const auto& [host, program] : cases) {
        EXPECT_EQ(platform::toProgramPath(expand(host, d, e)), program) << host;
    }
    platform::resetDriveTable();
    platform::unmountDrive('Z');
    EXPECT_EQ(platform::toProgramPath("/etc/hostname"), "");
}

// The current folder is the process's folder seen through the drive table.
TEST_F(DrivesTest, CurrentFolderFollowsTheProcess) {
    EXPECT_EQ(platform::currentFolder(), "D:\\Work");
    EXPECT_EQ(platform::currentDrive(), 'D');
    ASSERT_TRUE(platform::setCurrentFolder("e:\\"));
    EXPECT_EQ(platform::currentFolder(), "E:\\");
    EXPECT_EQ(platform::toHostPath("\\a.mp3"), e.hostRoot() + "/a.mp3");
    EXPECT_FALSE(platform::setCurrentFolder("Q:\\"));
    EXPECT_FALSE(platform::setCurrentFolder("D:\\Missing"));
    EXPECT_EQ(platform::currentFolder(), "E:\\");
}

// A missing exact path is found by names that differ only in letter case (ASCII, Cyrillic);
// the exact name wins, and the missing rest keeps the spelling given.
TEST_F(DrivesTest, MissingNamesAreFoundWithoutRegardToCase) {
    d.writeFile("Music/Rock/Song.MP3");
    d.writeFile("Музыка/Ёлка.mp3");
    d.writeFile("Twins/a.mp3");
    d.writeFile("Twins/A.mp3");
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Music\\Rock\\Song.MP3", "/Music/Rock/Song.MP3"},
        {"D:\\music\\ROCK\\song.mp3", "/Music/Rock/Song.MP3"},
        {"d:/MUSIC/rock", "/Music/Rock"},
        {"D:\\МУЗЫКА\\ёЛКА.MP3", "/Музыка/Ёлка.mp3"},
        {"D:\\музыка\\ЁЛКА.mp3", "/Музыка/Ёлка.mp3"},
        {"D:\\MUSIC\\New\\Sub\\x.mp3", "/Music/New/Sub/x.mp3"},
        {"D:\\Twins\\a.mp3", "/Twins/a.mp3"},
        {"D:\\Twins\\A.mp3", "/Twins/A.mp3"},
        {"D:\\Twins\\a.MP3", "/Twins/A.mp3"},
    };
    for (const auto& [program, host] : cases) {
        EXPECT_EQ(platform::toHostPath(program), d.hostRoot() + host) << program;
    }
    EXPECT_TRUE(platform::fileExists("D:\\MUSIC\\rock\\SONG.mp3"));
}

// Folding makes capitals of ASCII, Latin-1 and Cyrillic letters and leaves other bytes alone.
TEST(NameCaseTest, FoldsLettersToCapitals) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc XYZ_09.mp3", "ABC XYZ_09.MP3"},
        {"ёлка Привет", "ЁЛКА ПРИВЕТ"},
        {"абвгдежзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
        {"ђїєў", "ЂЇЄЎ"},
        {"àéþ÷ÿ", "ÀÉÞ÷ÿ"},
        {"日本", "日本"},
        {"a\xD0", "A\xD0"},
    };
    for (const auto& [name, folded] : cases) {
        EXPECT_EQ(platform::foldNameCase(name), folded) << name;
    }
    EXPECT_TRUE(platform::namesEqualNoCase("Ёлка.MP3", "ёЛКА.mp3"));
    EXPECT_FALSE(platform::namesEqualNoCase("Ёлка.mp3", "Елка.mp3"));
}

} // namespace
