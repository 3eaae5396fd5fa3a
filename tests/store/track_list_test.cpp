// The track list in its store: layout, append, walk, removal by positions, rebuild.
#include "store/track_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace store;
using ::testing::ElementsAre;

namespace {

class TrackListTest : public ::testing::Test {
protected:
    void SetUp() override { mask = createTrackListLayout(listDb); }

    void appendNamed(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            ASSERT_LE(appendTrackEntry(listDb, {name, "", "", -1, std::nullopt}), 0);
        }
    }
    std::vector<std::string> origNames() {
        std::vector<std::string> names;
        forEachTrackEntry(listDb, [&](int, const TrackEntry& entry) { names.push_back(entry.OrigFileName); });
        return names;
    }

    TfdbObject listDb;
    int mask = 0;
};

// The layout: "item" is a mask linked into the root, "list" an empty directory.
TEST_F(TrackListTest, LayoutHasMaskAndEmptyList) {
    EXPECT_EQ(listDb.DSystem.ItemByPath("item")->Index, mask);
    auto list = listDb.DSystem.ItemByPath("list");
    ASSERT_GT(list->Index, 0);
    EXPECT_EQ(list->AsTLinks.High(), -1);
    EXPECT_EQ(trackCount(listDb), 0);
    TrackEntry untouched{"keep", "", "", 1, 2};
    EXPECT_FALSE(readTrackEntry(listDb, 0, untouched));
    EXPECT_EQ(untouched.OrigFileName, "keep");
}

// An appended entry reads back field by field, through the helpers and the object model
// alike; Size -1 is kept as a signed 8-bit value, Len only when given.
TEST_F(TrackListTest, AppendAndReadBack) {
    ASSERT_LE(appendTrackEntry(listDb, {"Z:\\m\\a.mp3", "", "Artist - Song", -1, 215}), 0);
    ASSERT_LE(appendTrackEntry(listDb, {"Z:\\m\\b.mp3", "", "", 5000000000, std::nullopt}), 0);
    TrackEntry first, second;
    ASSERT_TRUE(readTrackEntry(listDb, 0, first));
    ASSERT_TRUE(readTrackEntry(listDb, 1, second));
    EXPECT_EQ(first.Desc, "Artist - Song");
    EXPECT_EQ(first.Size, -1);
    EXPECT_EQ(first.Len, 215);
    EXPECT_EQ(second.Size, 5000000000);
    EXPECT_EQ(second.Len, std::nullopt);
    EXPECT_EQ(readTrackField(listDb, 0, TrackField::Size), StoreValue::fromInt8(-1));

    auto list = listDb.DSystem.ItemByPath("list");
    auto entry = list->AsTLinks.LinkRef(0);
    EXPECT_EQ(entry->AsObject.FieldByName("len").IntValue(), 215);
    std::string orig;
    entry->AsObject.Field(0).AsString.GetStr(orig);
    EXPECT_EQ(orig, "Z:\\m\\a.mp3");
}

// Single fields are rewritten in place; a position without an entry writes nothing.
TEST_F(TrackListTest, SetSingleFields) {
    appendNamed({"a"});
    EXPECT_LE(setTrackField(listDb, 0, TrackField::FileName, StoreValue::fromText("D:\\out\\01 a.mp3")), 0);
    EXPECT_LE(setTrackField(listDb, 0, TrackField::Size, sizeValue(4096)), 0);
    EXPECT_EQ(setTrackField(listDb, 1, TrackField::Size, sizeValue(1)), fdbcode::NotFound);
    TrackEntry entry;
    readTrackEntry(listDb, 0, entry);
    EXPECT_EQ(entry.FileName, "D:\\out\\01 a.mp3");
    EXPECT_EQ(entry.Size, 4096);
    EXPECT_EQ(trackFieldName(TrackField::OrigFileName), "OrigFileName");
}

// Removing positions 1 and 3 of five leaves 0, 2, 4 at 0, 1, 2, in whatever order the
// positions come; repeats and positions out of range change nothing more.
TEST_F(TrackListTest, RemoveByPositionsKeepsOrder) {
    for (std::vector<int> positions : {std::vector<int>{1, 3}, {3, 1}, {1, 3, 3, 7, -1}}) {
        rebuildTrackList(listDb);
        appendNamed({"e0", "e1", "e2", "e3", "e4"});
        EXPECT_EQ(removeTrackEntries(listDb, positions), 0);
        EXPECT_THAT(origNames(), ElementsAre("e0", "e2", "e4"));
    }
    removeTrackEntries(listDb, {0, 1, 2});
    EXPECT_EQ(trackCount(listDb), 0);
    EXPECT_EQ(removeTrackEntries(listDb, {}), 0);
}

// A new order moves the entries, each once; an order that is not a permutation of the
// positions changes nothing.
TEST_F(TrackListTest, ReorderMovesEveryEntryOnce) {
    appendNamed({"e0", "e1", "e2", "e3"});
    EXPECT_TRUE(reorderTrackEntries(listDb, {2, 0, 3, 1}));
    EXPECT_THAT(origNames(), ElementsAre("e2", "e0", "e3", "e1"));
    for (const std::vector<int>& bad :
         {std::vector<int>{0, 1, 2}, {0, 0, 1, 2}, {0, 1, 2, 4}, {-1, 0, 1, 2}}) {
        EXPECT_FALSE(reorderTrackEntries(listDb, bad));
        EXPECT_THAT(origNames(), ElementsAre("e2", "e0", "e3", "e1"));
    }
    EXPECT_TRUE(reorderTrackEntries(listDb, {1, 3, 0, 2}));
    EXPECT_THAT(origNames(), ElementsAre("e0", "e1", "e2", "e3"));
}

// A removed entry's object is deleted, so its number is free again.
TEST_F(TrackListTest, RemovedEntriesAreFreed) {
    appendNamed({"a", "b"});
    int removed = listDb.DSystem.ItemByPath("list")->AsTLinks.Link(1).Index;
    removeTrackEntries(listDb, {1});
    EXPECT_EQ(listDb.NewItemRef(removed)->AsObject.FieldIndex(0), -1);
}

// A rebuild throws every entry away, keeps the mask, and a new fill shows only new entries.
TEST_F(TrackListTest, RebuildKeepsTheMask) {
    appendNamed({"old1", "old2"});
    rebuildTrackList(listDb);
    EXPECT_EQ(trackCount(listDb), 0);
    EXPECT_EQ(listDb.DSystem.ItemByPath("item")->Index, mask);
    EXPECT_EQ(listDb.Item(1).AsTLinks.Count(), 2) << "the root links the mask and the new list only";
    appendNamed({"new"});
    EXPECT_THAT(origNames(), ElementsAre("new"));
    rebuildTrackList(listDb);
    rebuildTrackList(listDb);
    EXPECT_EQ(listDb.Item(1).AsTLinks.Count(), 2);
    EXPECT_GT(listDb.DSystem.ItemByPath("list")->Index, 0);
}

// Without "list" nothing is appended and the walk does nothing.
TEST_F(TrackListTest, MissingListAppendsNothing) {
    listDb.DSystem.ItemByPath("list")->Delete(fdbDeleteAll);
    EXPECT_EQ(appendTrackEntry(listDb, {"a", "", "", -1, std::nullopt}), fdbcode::NotFound);
    EXPECT_EQ(trackCount(listDb), 0);
    EXPECT_THAT(origNames(), ElementsAre());
    EXPECT_EQ(removeTrackEntries(listDb, {0}), fdbcode::NotFound);
}

} // namespace
