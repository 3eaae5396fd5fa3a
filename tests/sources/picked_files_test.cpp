#include "sources/picked_files.h"

#include "support/temp_drive.h"
#include "track_list_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace sourcestest;
using testing::ElementsAre;

class PickedFilesTest : public testing::Test {
protected:
    testsupport::TempDrive drive{'D'};
    std::unique_ptr<store::TfdbObject> listDb = makeListDb();
    const std::vector<std::string> picked = {"D:\\b.avi", "D:\\Music\\a.mp3", "D:\\gone.mp3"};

    void SetUp() override {
        drive.writeFile("b.avi", "bb");
        drive.writeFile("Music/a.mp3", "aaaa");
    }
};

// Entries in the dialog's order, paths as given, empty Desc and FileName, no Len; sizes -1
// without a limit.
TEST_F(PickedFilesTest, OneEntryPerPickedFileInOrder) {
    sources::AddPickedFiles(*listDb, picked, 0);
    EXPECT_EQ(textsOf(fieldOfEntries(*listDb, store::TrackField::OrigFileName)), picked);
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::Desc)), ElementsAre("", "", ""));
    EXPECT_THAT(textsOf(fieldOfEntries(*listDb, store::TrackField::FileName)), ElementsAre("", "", ""));
    EXPECT_THAT(fieldOfEntries(*listDb, store::TrackField::Len), testing::Each(store::StoreValue()));
    EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)), ElementsAre(-1, -1, -1));
}

// Under a limit each entry has its real size, and a file gone since picking has 0.
TEST_F(PickedFilesTest, SizesUnderALimit) {
    sources::AddPickedFiles(*listDb, picked, 1);
    EXPECT_THAT(numbersOf(fieldOfEntries(*listDb, store::TrackField::Size)), ElementsAre(2, 4, 0));
}

// A cancelled dialog (no files) gives an empty list.
TEST_F(PickedFilesTest, NoFilesGiveAnEmptyList) {
    sources::AddPickedFiles(*listDb, {}, 1);
    EXPECT_EQ(listDb->DSystem.ItemByPath("list")->AsTLinks.High(), -1);
}

} // namespace
