#include "plan/naming.h"

#include "platform/drives.h"
#include "store/track_list.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plan::InvalidCharAction;
using plan::NamingOptions;

class DestNames : public ::testing::Test {
protected:
    DestNames() { store::createTrackListLayout(listDb); }

    void append(const std::string& source, const std::string& desc = "") {
        store::TrackEntry entry;
        entry.OrigFileName = source;
        entry.Desc = desc;
        ASSERT_LE(store::appendTrackEntry(listDb, entry), 0);
    }
    void appendSongs(int count) {
        for (int i = 0; i < count; ++i)
            append(R"(C:\Rock\Band\Album\Song.mp3)");
    }
    std::vector<std::string> fileNames() {
        std::vector<std::string> names;
        store::forEachTrackEntry(
            listDb, [&](int, const store::TrackEntry& entry) { names.push_back(entry.FileName); });
        return names;
    }

    store::TfdbObject listDb;
    const NamingOptions numbered{
        .destFolder = R"(D:\Music)", .prefixListNumber = true, .keepFolderLevels = false};
};

// The running number is as wide as the highest position of the whole list.
TEST_F(DestNames, NumbersTheWholeListInOrder) {
    appendSongs(12);
    plan::ComputeDestNames(listDb, numbered);
    const auto names = fileNames();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), R"(D:\Music\00 Song.mp3)");
    EXPECT_EQ(names[7], R"(D:\Music\07 Song.mp3)");
    EXPECT_EQ(names.back(), R"(D:\Music\11 Song.mp3)");
}

TEST_F(DestNames, NumberWidthFollowsTheListLength) {
    appendSongs(10);
    plan::ComputeDestNames(listDb, numbered);
    EXPECT_EQ(fileNames().front(), R"(D:\Music\0 Song.mp3)");
    EXPECT_EQ(fileNames().back(), R"(D:\Music\9 Song.mp3)");

    store::rebuildTrackList(listDb);
    appendSongs(1);
    plan::ComputeDestNames(listDb, numbered);
    EXPECT_EQ(fileNames(), std::vector<std::string>{R"(D:\Music\0 Song.mp3)"});
}

// Every name is computed from the entry's own source and description.
TEST_F(DestNames, NamesEachEntryFromItsOwnFields) {
    append(R"(C:\Rock\Band\Album\01 - Song.mp3)", "Artist - Title");
    append(R"(C:\Jazz\Live\Take.ogg)");
    plan::ComputeDestNames(
        listDb, {.destFolder = R"(D:\Music)", .renameByDescription = true, .keepFolderLevels = true});
    EXPECT_EQ(fileNames(), (std::vector<std::string>{R"(D:\Music\Album\Artist - Title.mp3)",
                                                     R"(D:\Music\Live\Take.ogg)"}));
}

struct Treatment {
    InvalidCharAction action;
    std::string name;
};

// A description with invalid characters gives one invalid name, cleaned by the chosen
// treatment (or left as it is by an unknown one); the folder part stays.
TEST_F(DestNames, FixInvalidNamesCountsAndCleans) {
    const Treatment treatments[] = {
        {InvalidCharAction::Delete, R"(D:\Music\ACDC Back.mp3)"},
        {InvalidCharAction::ReplaceWithSpace, R"(D:\Music\AC DC  Back.mp3)"},
        {InvalidCharAction::ReplaceWithUnderscore, R"(D:\Music\AC_DC_ Back.mp3)"},
        {static_cast<InvalidCharAction>(5), R"(D:\Music\AC/DC: Back.mp3)"},
    };
    append(R"(C:\Rock\a.mp3)", "Fine");
    append(R"(C:\Rock\b.mp3)", "AC/DC: Back");
    append(R"(C:\Rock\c.mp3)");
    for (const auto& t : treatments) {
        const NamingOptions byDesc{.destFolder = R"(D:\Music)",
                                   .renameByDescription = true,
                                   .keepFolderLevels = false,
                                   .invalidChars = t.action};
        plan::ComputeDestNames(listDb, byDesc);
        EXPECT_EQ(plan::FixInvalidNames(listDb, byDesc), 1);
        EXPECT_EQ(fileNames(),
                  (std::vector<std::string>{R"(D:\Music\Fine.mp3)", t.name, R"(D:\Music\c.mp3)"}));
    }
}

// An empty list, or none at all, leaves nothing to do.
TEST_F(DestNames, EmptyOrMissingListDoesNothing) {
    plan::ComputeDestNames(listDb, numbered);
    EXPECT_EQ(plan::FixInvalidNames(listDb, numbered), 0);
    store::TfdbObject bare;
    plan::ComputeDestNames(bare, numbered);
    EXPECT_EQ(plan::FixInvalidNames(bare, numbered), 0);
    EXPECT_EQ(store::trackCount(bare), 0);
}

// The destination as typed ("/" separators, mixed ones, a trailing one, a drive-relative form)
// is used in its full form, and the invalid-name fix never cuts into it: every name stays
// below the folder the file calls will make.
TEST_F(DestNames, DestinationTypedInAnyFormIsUsedInFull) {
    testsupport::TempDrive drive('D');
    drive.makeFolder("Work");
    ASSERT_TRUE(platform::setCurrentFolder("D:\\Work"));
    append(R"(C:\Rock\Album\a.mp3)", "AC/DC: Back");
    append(R"(C:\Rock\Album\b.mp3)");
    const std::pair<const char*, const char*> cases[] = {
        {"Z:/media/stick/dst", R"(Z:\media\stick\dst\)"},
        {R"(D:\Music/Sub)", R"(D:\Music\Sub\)"},
        {R"(D:\Music\Sub\)", R"(D:\Music\Sub\)"},
        {R"(D:\Music\.\x\..\Sub)", R"(D:\Music\Sub\)"},
        {"D:dst", R"(D:\Work\dst\)"},
        {"D:", R"(D:\Work\)"},
    };
    for (const auto& [typed, folder] : cases) {
        const NamingOptions options{
            .destFolder = typed, .renameByDescription = true, .keepFolderLevels = true};
        plan::ComputeDestNames(listDb, options);
        EXPECT_EQ(plan::FixInvalidNames(listDb, options), 1) << typed;
        EXPECT_EQ(fileNames(), (std::vector<std::string>{std::string(folder) + R"(Album\ACDC Back.mp3)",
                                                         std::string(folder) + R"(Album\b.mp3)"}))
            << typed;
    }
}

// Whatever the sources and descriptions hold, every cleaned name resolves on the real drive
// to a place inside the destination folder (a source named ".." leaves no file name at all,
// which names the folder itself and can only fail to copy).
TEST_F(DestNames, EveryNameResolvesInsideTheDestination) {
    testsupport::TempDrive drive('D');
    drive.makeFolder("Music");
    const std::string destination = drive.hostRoot() + "/Music";
    const char* descriptions[] = {R"(..\..\x)",  "..",          ".",        R"(a\..\..\b)", "../../x",
                                  R"(.?.\..\x)", R"(.*\.|.\y)", R"(\..\z)", R"(C:\..\w)"};
    append(R"(C:\Music\..\..\..\etc\passwd)");
    append(R"(C:\a\..)");
    append(R"(C:\a\.?.)");
    for (const char* desc : descriptions)
        append(R"(C:\Rock\Album\01 - Song.mp3)", desc);
    const NamingOptions optionSets[] = {
        {.destFolder = R"(D:\Music)", .renameByDescription = true, .keepFolderLevels = false},
        {.destFolder = R"(D:\Music)",
         .renameByDescription = true,
         .prefixListNumber = true,
         .keepFolderLevels = true,
         .folderLevels = 255},
    };
    const InvalidCharAction actions[] = {InvalidCharAction::Delete, InvalidCharAction::ReplaceWithSpace,
                                         InvalidCharAction::ReplaceWithUnderscore};
    for (NamingOptions options : optionSets) {
        for (InvalidCharAction action : actions) {
            options.invalidChars = action;
            plan::ComputeDestNames(listDb, options);
            plan::FixInvalidNames(listDb, options);
            for (const std::string& name : fileNames()) {
                const auto host = platform::toHostPath(name);
                ASSERT_TRUE(host.has_value()) << name;
                EXPECT_TRUE(*host == destination || host->rfind(destination + "/", 0) == 0)
                    << name << " -> " << *host;
            }
        }
    }
}

} // namespace
