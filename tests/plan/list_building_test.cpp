#include "plan/list_building.h"

#include "sources/source_error.h"
#include "store/track_list.h"
#include "support/fake_tag_reader.h"
#include "support/temp_drive.h"
#include "texts/text_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class ListBuilding : public testing::Test {
protected:
    ListBuilding() { store::createTrackListLayout(listDb); }

    void build(const sources::SourceChoice& source, const plan::NamingOptions& options) {
        plan::BuildTrackList(listDb, source, 0, options, record);
    }
    std::vector<std::string> field(store::TrackField which) {
        std::vector<std::string> values;
        for (int position = 0; position < store::trackCount(listDb); ++position) {
            values.push_back(store::readTrackField(listDb, position, which).toText());
        }
        return values;
    }
    sources::SourceChoice playlist(const std::string& content) {
        drive.writeFile("a.m3u", content);
        return {.kind = sources::PlaylistSource, .playlistPath = "D:\\a.m3u"};
    }

    testsupport::TempDrive drive{'D'};
    store::TfdbObject listDb{[](const std::string&) {}};
    std::vector<std::string> messages;
    sources::ShowMessage record = [this](const std::string& text) { messages.push_back(text); };
    const plan::NamingOptions flat{.destFolder = "E:\\Out", .keepFolderLevels = false};
    const plan::NamingOptions byDescription{
        .destFolder = "E:\\Out", .renameByDescription = true, .keepFolderLevels = false};
};

// Every build starts from an empty list, names every entry, and keeps the mask.
TEST_F(ListBuilding, BuildingTwiceGivesTheListOnce) {
    const auto source = playlist("#EXTM3U\nMusic\\a.mp3\nb.mp3\n");
    build(source, flat);
    build(source, flat);
    EXPECT_THAT(field(store::TrackField::OrigFileName), ElementsAre("D:\\Music\\a.mp3", "D:\\b.mp3"));
    EXPECT_THAT(field(store::TrackField::FileName), ElementsAre("E:\\Out\\a.mp3", "E:\\Out\\b.mp3"));
    EXPECT_THAT(messages, IsEmpty());
}

// Each source kind is read; another kind gives an empty list.
TEST_F(ListBuilding, ReadsTheSourceOfTheChosenKind) {
    drive.writeFile("Music/Sub/f.mp3");
    drive.writeFile("p.ogg");
    build({.kind = sources::FolderSource, .folderPath = "D:\\Music\\"}, flat);
    EXPECT_THAT(field(store::TrackField::OrigFileName), ElementsAre("D:\\Music\\Sub\\f.mp3"));
    build({.kind = sources::PickedFilesSource, .pickedFiles = {"D:\\p.ogg"}}, flat);
    EXPECT_THAT(field(store::TrackField::FileName), ElementsAre("E:\\Out\\p.ogg"));
    for (int32_t kind : {0, 4, -1}) {
        build({.kind = kind, .playlistPath = "D:\\a.m3u", .folderPath = "D:\\Music"}, flat);
        EXPECT_EQ(store::trackCount(listDb), 0) << kind;
    }
}

// A playlist without its header: text 122, then an empty list and no other message.
TEST_F(ListBuilding, PlaylistWithoutHeaderGivesMessageAndEmptyList) {
    build(playlist("a.mp3\n"), byDescription);
    EXPECT_EQ(store::trackCount(listDb), 0);
    EXPECT_THAT(messages, ElementsAre(texts::GetText(122)));
}

// The corrected-names message comes only with renaming by description and a count above 0.
TEST_F(ListBuilding, CorrectedNamesAreCountedOnlyWhenRenamingByDescription) {
    const auto source = playlist("#EXTM3U\n#EXTINF:1,AC/DC: Back\na.mp3\n#EXTINF:2,Why?\nb.mp3\n"
                                 "#EXTINF:3,A|B\nc.mp3\n#EXTINF:4,Fine\nd.mp3\n");
    build(source, byDescription);
    EXPECT_THAT(messages, ElementsAre("Найдено и исправлено неверных имен файлов: 3"));
    EXPECT_THAT(field(store::TrackField::FileName), ElementsAre("E:\\Out\\ACDC Back.mp3", "E:\\Out\\Why.mp3",
                                                                "E:\\Out\\AB.mp3", "E:\\Out\\Fine.mp3"));

    messages.clear();
    build(playlist("#EXTM3U\n#EXTINF:4,Fine\nd.mp3\n"), byDescription);
    EXPECT_THAT(messages, IsEmpty());

    build({.kind = sources::PickedFilesSource, .pickedFiles = {"D:\\Why?.mp3"}}, flat);
    EXPECT_THAT(field(store::TrackField::FileName), ElementsAre("E:\\Out\\Why?.mp3"));
    EXPECT_THAT(messages, IsEmpty());
}

// With tags read, a folder's files are renamed after their tags, numbered and cleaned like a
// playlist's descriptions; an untagged file keeps its name.
TEST_F(ListBuilding, FolderFilesAreRenamedAfterTheirTags) {
    for (const char* file : {"Music/x1.mp3", "Music/x2.ogg", "Music/x3.mp3"}) {
        drive.writeFile(file, "bytes");
    }
    testsupport::FakeTagReader reader;
    reader.set("D:\\Music\\x1.mp3", {.artist = "AC/DC", .title = "Back?", .lengthMs = 255'000});
    reader.set("D:\\Music\\x2.ogg", {.artist = "Кино", .title = "Звезда"});
    const sources::TagOptions tags{.readTags = true, .reader = &reader};
    plan::NamingOptions numbered = byDescription;
    numbered.prefixListNumber = true;
    plan::BuildTrackList(listDb, {.kind = sources::FolderSource, .folderPath = "D:\\Music"}, 0, numbered,
                         record, nullptr, tags);
    EXPECT_THAT(
        field(store::TrackField::FileName),
        ElementsAre("E:\\Out\\0 ACDC - Back.mp3", "E:\\Out\\1 Кино - Звезда.ogg", "E:\\Out\\2 x3.mp3"));
    EXPECT_THAT(messages, ElementsAre("Найдено и исправлено неверных имен файлов: 1"));
}

// An error of the source ends the build and passes to the caller.
TEST_F(ListBuilding, SourceErrorPassesToTheCaller) {
    EXPECT_THROW(build({.kind = sources::PlaylistSource, .playlistPath = "D:\\none.m3u"}, flat),
                 sources::SourceError);
    EXPECT_EQ(store::trackCount(listDb), 0);
}

} // namespace
