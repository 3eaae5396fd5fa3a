#include "plan/naming.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using plan::InvalidCharAction;
using plan::NamingOptions;

constexpr const char* Song = R"(C:\Rock\Band\Album\01 - Song.mp3)";
constexpr const char* Desc = "Artist - Title";

// Entry 7 of a list of 12 (numbers two digits wide).
std::string nameOfSeventh(NamingOptions options, const std::string& source = Song,
                          const std::string& desc = Desc) {
    if (options.destFolder.empty())
        options.destFolder = R"(D:\Music)";
    return plan::destNameFor(options, source, desc, 7, plan::numberWidthFor(11));
}

struct NamingCase {
    const char* what;
    NamingOptions options;
    std::string expected;
    std::string source = Song;
};

// Each option set of the destination page on one source file and its description.
TEST(DestNameFor, FollowsTheOptionsOfTheDestinationPage) {
    const NamingCase cases[] = {
        {"levels 1", {.keepFolderLevels = true, .folderLevels = 1}, R"(D:\Music\Album\01 - Song.mp3)"},
        {"levels 0", {.keepFolderLevels = true, .folderLevels = 0}, R"(D:\Music\01 - Song.mp3)"},
        {"levels 3",
         {.keepFolderLevels = true, .folderLevels = 3},
         R"(D:\Music\Rock\Band\Album\01 - Song.mp3)"},
        {"levels 255",
         {.keepFolderLevels = true, .folderLevels = 255},
         R"(D:\Music\Rock\Band\Album\01 - Song.mp3)"},
        {"by description",
         {.renameByDescription = true, .keepFolderLevels = false},
         R"(D:\Music\Artist - Title.mp3)"},
        {"by description, the source's own extension",
         {.renameByDescription = true, .keepFolderLevels = false},
         R"(D:\Music\Artist - Title.Ogg)",
         R"(C:\Rock\Band\Album\01 - Song.Ogg)"},
        {"by description, a source without extension",
         {.renameByDescription = true, .keepFolderLevels = false},
         R"(D:\Music\Artist - Title)",
         R"(C:\Rock\Band.v2\Album\01 - Song)"},
        {"digit kept",
         {.renameByDescription = true, .keepNamesStartingWithDigit = true, .keepFolderLevels = false},
         R"(D:\Music\01 - Song.mp3)"},
        {"digit kept, numbered",
         {.renameByDescription = true,
          .keepNamesStartingWithDigit = true,
          .prefixListNumber = true,
          .keepFolderLevels = false},
         R"(D:\Music\01 - Song.mp3)"},
        {"digit rule on a name without digit",
         {.renameByDescription = true, .keepNamesStartingWithDigit = true, .keepFolderLevels = false},
         R"(D:\Music\Artist - Title.mp3)",
         R"(C:\Rock\Song.mp3)"},
        {"description and number",
         {.renameByDescription = true, .prefixListNumber = true, .keepFolderLevels = false},
         R"(D:\Music\07 Artist - Title.mp3)"},
        {"number only",
         {.prefixListNumber = true, .keepFolderLevels = false},
         R"(D:\Music\07 01 - Song.mp3)"},
        {"levels 1, description and number",
         {.renameByDescription = true, .prefixListNumber = true, .keepFolderLevels = true, .folderLevels = 1},
         R"(D:\Music\Album\07 Artist - Title.mp3)"},
        {"master switch off",
         {.renameFiles = false,
          .renameByDescription = true,
          .prefixListNumber = true,
          .keepFolderLevels = false},
         R"(D:\Music\01 - Song.mp3)"},
        {"trailing backslash",
         {.destFolder = R"(D:\)", .keepFolderLevels = true, .folderLevels = 1},
         R"(D:\Album\01 - Song.mp3)"},
        {"network destination",
         {.destFolder = R"(\\server\share\)", .keepFolderLevels = false},
         R"(\\server\share\01 - Song.mp3)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameOfSeventh(c.options, c.source), c.expected) << c.what;
}

// An entry without a description keeps its file name even with renaming by description on.
TEST(DestNameFor, EmptyDescriptionKeepsTheFileName) {
    EXPECT_EQ(
        nameOfSeventh({.renameByDescription = true, .prefixListNumber = true, .keepFolderLevels = false},
                      Song, ""),
        R"(D:\Music\07 01 - Song.mp3)");
}

// Numbers are padded with zeros to the width of the highest position.
TEST(DestNameFor, PadsNumbersToTheWidthOfTheList) {
    EXPECT_EQ(plan::numberWidthFor(0), 1);
    EXPECT_EQ(plan::numberWidthFor(9), 1);
    EXPECT_EQ(plan::numberWidthFor(11), 2);
    EXPECT_EQ(plan::numberWidthFor(100), 3);
    const NamingOptions numbered{
        .destFolder = R"(D:\Music)", .prefixListNumber = true, .keepFolderLevels = false};
    EXPECT_EQ(plan::destNameFor(numbered, R"(C:\a.mp3)", "", 0, 2), R"(D:\Music\00 a.mp3)");
    EXPECT_EQ(plan::destNameFor(numbered, R"(C:\a.mp3)", "", 11, 2), R"(D:\Music\11 a.mp3)");
    EXPECT_EQ(plan::destNameFor(numbered, R"(C:\a.mp3)", "", 0, 1), R"(D:\Music\0 a.mp3)");
    EXPECT_EQ(plan::destNameFor(numbered, R"(C:\a.mp3)", "", 1234, 3), R"(D:\Music\1234 a.mp3)");
}

// A backslash in a description makes sub-folders; a colon moves where the number goes.
TEST(DestNameFor, DescriptionTextGoesIntoThePath) {
    const NamingOptions byDesc{.renameByDescription = true, .keepFolderLevels = false};
    EXPECT_EQ(nameOfSeventh(byDesc, Song, R"(Artist\Title)"), R"(D:\Music\Artist\Title.mp3)");
    EXPECT_EQ(nameOfSeventh(byDesc, Song, "AC/DC: Back"), R"(D:\Music\AC/DC: Back.mp3)");
    NamingOptions numbered = byDesc;
    numbered.prefixListNumber = true;
    EXPECT_EQ(nameOfSeventh(numbered, Song, "AC/DC: Back"), R"(D:\Music\AC/DC:07  Back.mp3)");
}

struct EscapeCase {
    const char* what;
    NamingOptions options;
    std::string source;
    std::string desc;
    std::string expected;
};

// No kept folder level and no description steps out of the destination folder.
TEST(DestNameFor, StaysInsideTheDestination) {
    const NamingOptions byDesc{.renameByDescription = true, .keepFolderLevels = false};
    const NamingOptions numbered{
        .renameByDescription = true, .prefixListNumber = true, .keepFolderLevels = false};
    const EscapeCase cases[] = {
        {"levels over ..",
         {.keepFolderLevels = true, .folderLevels = 2},
         R"(C:\Music\..\..\x.mp3)",
         "",
         R"(D:\Out\x.mp3)"},
        {"all levels over ..",
         {.keepFolderLevels = true, .folderLevels = 5},
         R"(C:\Music\..\..\x.mp3)",
         "",
         R"(D:\Out\Music\x.mp3)"},
        {"levels over . and /..",
         {.keepFolderLevels = true, .folderLevels = 5},
         R"(C:\.\a/../x.mp3)",
         "",
         R"(D:\Out\a/x.mp3)"},
        {"file name ..", {.keepFolderLevels = false}, R"(C:\a\..)", "", R"(D:\Out\)"},
        {R"(..\..\x)", byDesc, Song, R"(..\..\x)", R"(D:\Out\x.mp3)"},
        {R"(..\..\x numbered)", numbered, Song, R"(..\..\x)", R"(D:\Out\07 x.mp3)"},
        {"../../x", byDesc, Song, "../../x", R"(D:\Out\x.mp3)"},
        {"..", byDesc, Song, "..", R"(D:\Out\...mp3)"},
        {".", byDesc, Song, ".", R"(D:\Out\..mp3)"},
        {R"(..\)", byDesc, Song, R"(..\)", R"(D:\Out\.mp3)"},
        {R"(a\..\..\b)", byDesc, Song, R"(a\..\..\b)", R"(D:\Out\a\b.mp3)"},
        {R"(\..\x)", byDesc, Song, R"(\..\x)", R"(D:\Out\\x.mp3)"},
    };
    for (const auto& c : cases) {
        NamingOptions options = c.options;
        options.destFolder = R"(D:\Out)";
        EXPECT_EQ(plan::destNameFor(options, c.source, c.desc, 7, 2), c.expected) << c.what;
    }
    // The destination itself is the user's choice and is used as typed.
    const NamingOptions typedUp{.destFolder = R"(D:\Music\..\Out)", .keepFolderLevels = false};
    EXPECT_EQ(plan::destNameFor(typedUp, R"(C:\x.mp3)", "", 0, 1), R"(D:\Music\..\Out\x.mp3)");
}

// A valid name needs no cleaning; an invalid one is cleaned by the chosen treatment, and an
// unknown treatment leaves it as it is while still reporting it.
TEST(CleanInvalidName, ByTreatment) {
    const std::string name = R"(D:\Music\AC/DC: Back.mp3)";
    const std::string music = R"(D:\Music)";
    EXPECT_EQ(plan::cleanInvalidName(R"(D:\Music\a.mp3)", music, InvalidCharAction::Delete), std::nullopt);
    EXPECT_EQ(plan::cleanInvalidName(name, music, InvalidCharAction::Delete), R"(D:\Music\ACDC Back.mp3)");
    EXPECT_EQ(plan::cleanInvalidName(name, music, InvalidCharAction::ReplaceWithSpace),
              R"(D:\Music\AC DC  Back.mp3)");
    EXPECT_EQ(plan::cleanInvalidName(name, music, InvalidCharAction::ReplaceWithUnderscore),
              R"(D:\Music\AC_DC_ Back.mp3)");
    EXPECT_EQ(plan::cleanInvalidName(name, music, static_cast<InvalidCharAction>(-1)), name);
    EXPECT_EQ(plan::cleanInvalidName(name, music, static_cast<InvalidCharAction>(3)), name);
}

// Only the part below the destination folder is cleaned: the folder is the user's choice, and
// its ":" and separators are what place the files. Below it a ":" is an invalid character,
// even where it looks like a drive.
TEST(CleanInvalidName, LeavesTheDestinationFolderAlone) {
    struct Case {
        const char* name;
        const char* folder;
        std::optional<std::string> cleaned;
    };
    const Case cases[] = {
        {R"(Z:\media\st?ck\Sub\a?.mp3)", R"(Z:\media\st?ck)", R"(Z:\media\st?ck\Sub\a.mp3)"},
        {R"(Z:\media\st?ck\a.mp3)", R"(Z:\media\st?ck)", std::nullopt},
        {R"(D:\Music\C:\x.mp3)", R"(D:\Music)", R"(D:\Music\C\x.mp3)"},
        {R"(D:\Music\x:.mp3)", R"(D:\Music\)", R"(D:\Music\x.mp3)"},
        {R"(D:\a?.mp3)", R"(D:\)", R"(D:\a.mp3)"},
        {R"(D:\Music\.?.\x.mp3)", R"(D:\Music)", R"(D:\Music\x.mp3)"},
        // A stand-in for a host name's "?" is that character on the destination, while its ":"
        // is a plain character of the name and stays; a host name's own private-use character
        // (escaped) is no invalid character.
        {"D:\\Music\\AC\xEF\x80\xBA"
         "DC\\a\xEF\x80\xBF.mp3",
         R"(D:\Music)",
         "D:\\Music\\AC\xEF\x80\xBA"
         "DC\\a.mp3"},
        {"D:\\Music\\Live\xEF\x80\xBA Moscow\\02 Part 1\xEF\x80\xBA Intro.mp3", R"(D:\Music)", std::nullopt},
        {"D:\\Music\\\xEF\x80\x80\xEF\x80\xBA.mp3", R"(D:\Music)", std::nullopt},
        // Not below the folder: looked at whole, as before.
        {R"(E:\Other\a?.mp3)", R"(D:\Music)", R"(E:\Other\a.mp3)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plan::cleanInvalidName(c.name, c.folder, InvalidCharAction::Delete), c.cleaned) << c.name;
    }
}

} // namespace
