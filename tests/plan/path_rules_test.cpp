#include "plan/path_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TailCase {
    std::string path;
    int levels;
    std::string tail;
};

// The tail keeps `levels` folders above the file name and never a drive or network root.
TEST(PathTail, KeepsTheAskedFolderLevels) {
    const TailCase cases[] = {
        {R"(C:\Rock\Band\Album\01 - Song.mp3)", 0, "01 - Song.mp3"},
        {R"(C:\Rock\Band\Album\01 - Song.mp3)", 1, R"(Album\01 - Song.mp3)"},
        {R"(C:\Rock\Band\Album\01 - Song.mp3)", 3, R"(Rock\Band\Album\01 - Song.mp3)"},
        {R"(C:\Rock\Band\Album\01 - Song.mp3)", 255, R"(Rock\Band\Album\01 - Song.mp3)"},
        {R"(\\server\share\a.mp3)", 5, R"(server\share\a.mp3)"},
        {R"(Music\a.mp3)", 5, R"(Music\a.mp3)"},
        {"C:song.mp3", 2, "song.mp3"},
        {"D:/Music/Rock/a.mp3", 1, "Rock/a.mp3"},
        {R"(C:\a\\b\c.mp3)", 5, R"(b\c.mp3)"}, // a doubled separator ends the walk
        {"a.mp3", 3, "a.mp3"},
        {"", 1, ""},
        // The last character is never examined: a trailing separator is no level.
        {R"(C:\a\b\)", 0, R"(b\)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan::PathTail(c.path, c.levels), c.tail) << c.path << " at " << c.levels;
}

// Only "\" and ":" end the file name; "/" is part of it.
TEST(FileNamePart, CutsAtLastBackslashOrColon) {
    EXPECT_EQ(plan::FileNamePart(R"(C:\a\b.mp3)"), "b.mp3");
    EXPECT_EQ(plan::FileNamePart("C:b.mp3"), "b.mp3");
    EXPECT_EQ(plan::FileNamePart("a/b.mp3"), "a/b.mp3");
    EXPECT_EQ(plan::FileNamePart(R"(D:\Music\AC/DC: Back.mp3)"), " Back.mp3");
    EXPECT_EQ(plan::FileNamePart(R"(C:\a\)"), "");
    EXPECT_EQ(plan::ReplaceFileName(R"(C:\a\b.mp3)", "c.ogg"), R"(C:\a\c.ogg)");
    EXPECT_EQ(plan::ReplaceFileName("b.mp3", "c.ogg"), "c.ogg");
    EXPECT_EQ(plan::ReplaceFileName(R"(D:\Music\AC/DC: Back.mp3)", "07  Back.mp3"),
              R"(D:\Music\AC/DC:07  Back.mp3)");
}

// Only whole "." and ".." parts go, with their separator; names that merely hold dots stay.
TEST(DropDotParts, RemovesOnlyFolderSteps) {
    const std::pair<std::string, std::string> cases[] = {
        {R"(..\..\x.mp3)", "x.mp3"},
        {R"(a\..\..\b.mp3)", R"(a\b.mp3)"},
        {R"(.\a\.\b)", R"(a\b)"},
        {"../../x", "x"},
        {R"(..\a/..\b)", R"(a/b)"},
        {R"(\..\x)", R"(\x)"},
        {"..", ""},
        {R"(...\..mp3\. .\a..b)", R"(...\..mp3\. .\a..b)"},
        {R"(Album\01 - Song.mp3)", R"(Album\01 - Song.mp3)"},
    };
    for (const auto& [text, kept] : cases)
        EXPECT_EQ(plan::dropDotParts(text), kept) << text;
}

TEST(InvalidChars, FindDeleteAndReplaceTheNine) {
    ASSERT_EQ(plan::InvalidNameChars.size(), 9u);
    for (char c : plan::InvalidNameChars)
        EXPECT_TRUE(plan::HasInvalidChar(std::string("a") + c + "b")) << c;
    EXPECT_FALSE(plan::HasInvalidChar("Artist - Title (Live) [1999] {x}.mp3"));
    EXPECT_EQ(plan::DeleteInvalidChars(R"(a"*/:<>?\|b)"), "ab");
    EXPECT_EQ(plan::ReplaceInvalidChars(R"(a"*/:<>?\|b)", '_'), "a_________b");
    // A long part is examined to its end.
    EXPECT_TRUE(plan::HasInvalidChar(std::string(1000, 'x') + "?"));
}

// The drive colon and the separators in their places are valid; elsewhere they are not.
TEST(IsInvalidPath, TestsEveryPartOnItsOwn) {
    const std::pair<std::string, bool> cases[] = {
        {R"(D:\Music\Album\a.mp3)", false},
        {R"(\\server\share\a.mp3)", false}, // empty parts are valid
        {R"(D:\Music\\a.mp3)", false},
        {R"(D:\Music\AC/DC: Back.mp3)", true},
        {R"(D:\Mu?sic\a.mp3)", true},
        {R"(D:\Music\a|b\c.mp3)", true},
        {R"(a<b:\Music\a.mp3)", true}, // the drive part is tested too
        {"C:a.mp3", true},             // no ":\", so the colon belongs to the file name
        {R"(D:\Music\)" + std::string(1000, 'x') + "*.mp3", true},
    };
    for (const auto& [path, invalid] : cases)
        EXPECT_EQ(plan::IsInvalidPath(path), invalid) << path;
}

struct CleanCase {
    std::string path;
    std::string deleted;
    std::string spaced;
    std::string underscored;
};

// Each part is cleaned on its own; the drive colon and the separators survive.
TEST(CleanInvalidInPath, CleansEveryPartAndKeepsTheSeparators) {
    const CleanCase cases[] = {
        {R"(D:\Music\AC/DC: Back.mp3)", R"(D:\Music\ACDC Back.mp3)", R"(D:\Music\AC DC  Back.mp3)",
         R"(D:\Music\AC_DC_ Back.mp3)"},
        {R"(\\server\sh|are\a?.mp3)", R"(\\server\share\a.mp3)", R"(\\server\sh are\a .mp3)",
         R"(\\server\sh_are\a_.mp3)"},
        {R"(D:\Music\AC/DC:07  Back.mp3)", R"(D:\Music\ACDC07  Back.mp3)", R"(D:\Music\AC DC 07  Back.mp3)",
         R"(D:\Music\AC_DC_07  Back.mp3)"},
        {R"(D:\Music\a.mp3)", R"(D:\Music\a.mp3)", R"(D:\Music\a.mp3)", R"(D:\Music\a.mp3)"},
        // Deleting must not turn a part into a folder step: ".?." is dropped, not made "..".
        {R"(D:\Out\.?.\x.mp3)", R"(D:\Out\x.mp3)", R"(D:\Out\. .\x.mp3)", R"(D:\Out\._.\x.mp3)"},
        {R"(D:\Out\a\.*)", R"(D:\Out\a\)", R"(D:\Out\a\. )", R"(D:\Out\a\._)"},
        // Dot parts that were there before cleaning are not the cleaner's business.
        {R"(D:\Music\..\Out\a?.mp3)", R"(D:\Music\..\Out\a.mp3)", R"(D:\Music\..\Out\a .mp3)",
         R"(D:\Music\..\Out\a_.mp3)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plan::DeleteInvalidInPath(c.path), c.deleted) << c.path;
        EXPECT_EQ(plan::ReplaceInvalidInPath(c.path, ' '), c.spaced) << c.path;
        EXPECT_EQ(plan::ReplaceInvalidInPath(c.path, '_'), c.underscored) << c.path;
    }
}

} // namespace
