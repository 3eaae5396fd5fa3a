#include "sources/source_choice.h"

#include "support/fake_tag_reader.h"
#include "support/lock_holder.h"
#include "support/temp_drive.h"
#include "texts/text_table.h"
#include "track_list_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace sourcestest;
using sources::TrackTags;
using testing::ElementsAre;
using testing::IsEmpty;

// The tags the fake gives: a.mp3 described and timed, b.ogg timed only, c.wav unknown.
class SourceTagsTest : public testing::Test {
protected:
    SourceTagsTest() {
        for (const char* file : {"Music/a.mp3", "Music/Sub/b.ogg", "Music/c.wav", "Music/notes.txt"}) {
            drive.writeFile(file, "bytes");
        }
        reader.set("D:\\Music\\a.mp3", {.artist = "Кино", .title = "Звезда", .lengthMs = 183'400});
        reader.set("D:\\Music\\Sub\\b.ogg", {.lengthMs = 59'600});
    }

    std::vector<Entry> read(const sources::SourceChoice& source, int64_t sizeLimit = 0) {
        listDb = makeListDb();
        report = {};
        sources::readSource(
            *listDb, source, sizeLimit, [](const std::string&) {}, &report, options);
        return entriesOf(*listDb);
    }
    std::vector<std::string> reasons() const {
        std::vector<std::string> texts;
        for (const TrackTags& tags : report.tags) {
            texts.push_back(tags.noTagsReason);
        }
        return texts;
    }

    testsupport::TempDrive drive{'D'};
    testsupport::FakeTagReader reader;
    sources::TagOptions options{.readTags = true, .reader = &reader};
    std::unique_ptr<store::TfdbObject> listDb;
    sources::PlaylistReport report;
    const sources::SourceChoice folder{.kind = sources::FolderSource, .folderPath = "D:\\Music"};
};

// A folder's files are described and timed from their tags, each read once from an open file;
// a file without tags stays undescribed and its reason is kept at its position.
TEST_F(SourceTagsTest, FolderEntriesAreDescribedAndTimed) {
    EXPECT_THAT(read(folder), ElementsAre(Entry{"D:\\Music\\a.mp3", "Кино - Звезда", 183},
                                          Entry{"D:\\Music\\c.wav", "", std::nullopt},
                                          Entry{"D:\\Music\\Sub\\b.ogg", "", 60}));
    EXPECT_THAT(reasons(), ElementsAre("", "unknown to the fake", ""));
    EXPECT_THAT(reader.readPaths,
                ElementsAre("D:\\Music\\a.mp3", "D:\\Music\\c.wav", "D:\\Music\\Sub\\b.ogg"));
    EXPECT_EQ(reader.openHandles, 3);
}

// The playlist's description and length stay where it gives them, unless the tags win; its
// unknown length (-1) and a line without info are filled from the tags either way.
TEST_F(SourceTagsTest, PlaylistInfoWinsUnlessTagsWin) {
    drive.writeFile("Music/list.m3u",
                    "#EXTM3U\n#EXTINF:100,Из плейлиста\na.mp3\n#EXTINF:-1,\nSub\\b.ogg\nc.wav\n");
    const sources::SourceChoice playlist{.kind = sources::PlaylistSource,
                                         .playlistPath = "D:\\Music\\list.m3u"};
    EXPECT_THAT(read(playlist),
                ElementsAre(Entry{"D:\\Music\\a.mp3", "Из плейлиста", 100},
                            Entry{"D:\\Music\\Sub\\b.ogg", "", 60}, Entry{"D:\\Music\\c.wav", "", 0}));
    options.tagsWin = true;
    options.descriptionFormat = "%title% (%artist%)";
    EXPECT_THAT(read(playlist),
                ElementsAre(Entry{"D:\\Music\\a.mp3", "Звезда (Кино)", 183},
                            Entry{"D:\\Music\\Sub\\b.ogg", "", 60}, Entry{"D:\\Music\\c.wav", "", 0}));
}

// Picked files keep their measured sizes; one held by another program stays in the list,
// unread, with the reason.
TEST_F(SourceTagsTest, PickedFilesAreMeasuredAndHeldOnesKeepTheirReason) {
    testsupport::LockHolder holder(drive.hostPath("Music/c.wav"));
    ASSERT_TRUE(holder.locked());
    const sources::SourceChoice picked{.kind = sources::PickedFilesSource,
                                       .pickedFiles = {"D:\\Music\\c.wav", "D:\\Music\\a.mp3"}};
    EXPECT_THAT(read(picked, 1000), ElementsAre(Entry{"D:\\Music\\c.wav", "", std::nullopt},
                                                Entry{"D:\\Music\\a.mp3", "Кино - Звезда", 183}));
    EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)), ElementsAre(0, 5));
    EXPECT_THAT(reasons(), ElementsAre(texts::FormatText(310, {texts::GetText(164)}), ""));
    EXPECT_THAT(reader.readPaths, ElementsAre("D:\\Music\\a.mp3"));
}

// Switched off, no file is read for tags and no cache is touched.
TEST_F(SourceTagsTest, SwitchedOffReadsNothing) {
    drive.makeFolder("Settings");
    options.readTags = false;
    options.cacheFolder = "D:\\Settings";
    EXPECT_THAT(read(folder), ElementsAre(Entry{"D:\\Music\\a.mp3", "", std::nullopt},
                                          Entry{"D:\\Music\\c.wav", "", std::nullopt},
                                          Entry{"D:\\Music\\Sub\\b.ogg", "", std::nullopt}));
    EXPECT_THAT(reader.readPaths, IsEmpty());
    EXPECT_THAT(report.tags, IsEmpty());
    EXPECT_FALSE(drive.exists("Settings/tags.cache"));
}

// A second build reads only the files changed since, and a file that was held the first time.
TEST_F(SourceTagsTest, SecondBuildReadsOnlyWhatChanged) {
    drive.makeFolder("Settings");
    options.cacheFolder = "D:\\Settings";
    std::vector<Entry> first;
    {
        testsupport::LockHolder holder(drive.hostPath("Music/c.wav"));
        first = read(folder);
    }
    EXPECT_EQ(reader.readPaths.size(), 2u);
    reader.readPaths.clear();
    EXPECT_EQ(read(folder), first);
    EXPECT_THAT(reader.readPaths, ElementsAre("D:\\Music\\c.wav"));

    reader.readPaths.clear();
    drive.writeFile("Music/a.mp3", "other bytes");
    reader.set("D:\\Music\\a.mp3", {.title = "Новая"});
    EXPECT_EQ(read(folder).front().desc, "Новая");
    EXPECT_THAT(reader.readPaths, ElementsAre("D:\\Music\\a.mp3"));
}

} // namespace
