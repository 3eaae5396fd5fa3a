// The C-style store calls: numbers, links, deletion, names and paths.
#include "store/fdb.h"

#include <gtest/gtest.h>

using namespace store;

namespace {

class FdbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fdb_dbStart(h);
        fdb_dbCreateDefault(h, 0);
    }
    int make(int kind) {
        int number = fdb_GetFirstFree(h);
        EXPECT_LE(fdb_New(h, number, kind), 0);
        return number;
    }
    int text(const std::string& value) {
        int number = make(fdbkind::Text);
        fdb_sSet(h, number, value);
        return number;
    }
    std::string textOf(int item) {
        std::string value = "<none>";
        fdb_sGet(h, item, value);
        return value;
    }
    std::vector<int> linksOf(int list) {
        std::vector<int> links;
        for (int i = 0; i < fdb_tlCount(h, list); ++i) {
            links.push_back(fdb_tlGet(h, list, i));
        }
        return links;
    }
    int resolve(const std::string& path) {
        int item = -7;
        return fdb_d2GetR(h, path, item, 1, fdbPathKind) <= 0 ? item : -1;
    }

    TfdbHandle h;
};

// A free number is handed out until it is taken; deleted numbers come back.
TEST_F(FdbTest, FreeNumbersAreReused) {
    int first = fdb_GetFirstFree(h);
    EXPECT_EQ(fdb_GetFirstFree(h), first);
    EXPECT_LE(fdb_New(h, first, fdbkind::Text), 0);
    EXPECT_EQ(fdb_New(h, first, fdbkind::Text), fdbcode::ItemInUse);
    int second = make(fdbkind::Text);
    EXPECT_NE(second, first);
    EXPECT_LE(fdb_DeleteEx(h, first, fdbDeleteAll), 0);
    EXPECT_EQ(fdb_GetFirstFree(h), first);
    EXPECT_EQ(fdb_New(h, 0, fdbkind::Text), fdbcode::NoSuchItem);
    EXPECT_EQ(fdb_New(h, fdb_GetFirstFree(h), 99), fdbcode::BadArgument);
}

// Emptying a link keeps every position; removing the empty links keeps the order of the rest.
TEST_F(FdbTest, DeleteEmptiesWithoutShiftAndRemoveNullsKeepsOrder) {
    int list = make(fdbkind::LinkList);
    std::vector<int> items;
    for (const char* t : {"a", "b", "c", "d"}) {
        items.push_back(text(t));
        EXPECT_LE(fdb_tlAdd(h, list, items.back()), 0);
    }
    EXPECT_LE(fdb_tlDelete(h, list, 1), 0);
    EXPECT_EQ(linksOf(list), (std::vector<int>{items[0], 0, items[2], items[3]}));
    EXPECT_EQ(fdb_tlDelete(h, list, 4), fdbcode::BadPosition);
    EXPECT_EQ(fdb_tlGet(h, list, -1), 0);
    EXPECT_LE(fdb_tlRemoveNulls(h, list), 0);
    EXPECT_EQ(linksOf(list), (std::vector<int>{items[0], items[2], items[3]}));
    EXPECT_EQ(textOf(items[1]), "b"); // the unlinked item itself stays
}

// Deleting with 19 takes everything the item holds, empties links to it elsewhere, and a
// reused number is not reached through an old link.
TEST_F(FdbTest, DeepDeleteEmptiesLinksEverywhere) {
    int outer = make(fdbkind::LinkList);
    int inner = make(fdbkind::LinkList);
    int held = text("held");
    int other = make(fdbkind::LinkList);
    fdb_tlAdd(h, outer, inner);
    fdb_tlAdd(h, inner, held);
    fdb_tlAdd(h, other, held);
    fdb_tlAdd(h, inner, inner); // a cycle must not trouble the deletion
    EXPECT_LE(fdb_DeleteEx(h, outer, fdbDeleteAll), 0);
    EXPECT_EQ(textOf(held), "<none>");
    EXPECT_EQ(fdb_tlCount(h, inner), 0);
    EXPECT_EQ(fdb_tlCount(h, other), 1);
    EXPECT_EQ(fdb_tlGet(h, other, 0), 0);
    int reused = text("new");
    EXPECT_TRUE(reused == held || reused == inner || reused == outer);
    EXPECT_EQ(fdb_tlGet(h, other, 0), 0);
    fdb_tlRemoveNulls(h, other);
    EXPECT_EQ(fdb_tlCount(h, other), 0);
}

// The root cannot be deleted, not even through a link that leads back to it.
TEST_F(FdbTest, RootSurvivesDeletion) {
    int list = make(fdbkind::LinkList);
    fdb_tlAdd(h, list, 1);
    EXPECT_GT(fdb_DeleteEx(h, 1, fdbDeleteAll), 0);
    EXPECT_LE(fdb_DeleteEx(h, list, fdbDeleteAll), 0);
    EXPECT_EQ(resolve(""), 1);
    EXPECT_GT(fdb_DeleteEx(h, list, 0), 0) << "only mode 19 is known";
}

// Values read back as stored; fdb_iGet takes them as signed 16-bit numbers.
TEST_F(FdbTest, ValuesAndSixteenBitReading) {
    int item = make(fdbkind::Value);
    struct {
        StoreValue value;
        int expected;
    } cases[] = {{StoreValue::fromInt32(-1), -1},
                 {StoreValue::fromInt32(40000), 40000 - 65536},
                 {StoreValue::fromInt64(65536 + 7), 7},
                 {StoreValue::fromText("123"), 123},
                 {StoreValue(), 0}};
    for (const auto& c : cases) {
        EXPECT_LE(fdb_vSet(h, item, c.value, -1), 0);
        StoreValue back;
        EXPECT_LE(fdb_vGet(h, item, back, 0), 0);
        EXPECT_EQ(back, c.value);
        EXPECT_EQ(fdb_iGet(h, item), c.expected);
    }
    StoreValue untouched = StoreValue::fromText("keep");
    int list = make(fdbkind::LinkList);
    EXPECT_EQ(fdb_vGet(h, list, untouched, 0), fdbcode::WrongKind);
    EXPECT_EQ(fdb_vGet(h, 0, untouched, 0), fdbcode::NoSuchItem);
    EXPECT_EQ(untouched.toText(), "keep");
}

// Names match without regard to case (Latin and Cyrillic); a name longer than 255 is cut.
TEST_F(FdbTest, NamesMatchWithoutCaseAndAreCut) {
    int dir = 0;
    EXPECT_LE(fdb_dsForceCreateDir(h, "Music/Плейлисты", dir, 1, fdbPathKind), 0);
    EXPECT_EQ(resolve("music/ПЛЕЙЛИСТЫ"), dir);
    EXPECT_EQ(resolve("/MUSIC//плейлисты/"), dir);
    std::string longName(300, 'x');
    int made = 0;
    EXPECT_LE(fdb_dsCreateDir(h, 1, longName, made, fdbPathKind), 0);
    EXPECT_EQ(resolve(std::string(255, 'X')), made);
    EXPECT_EQ(resolve(longName), made);
    EXPECT_EQ(resolve("Music/none"), -1);
    EXPECT_EQ(resolve("Music/Плейлисты/deeper"), -1);
}

// Making a directory that exists hands it back; a name taken by a value is refused.
TEST_F(FdbTest, CreateDirFindsExistingAndRefusesClash) {
    int first = 0, again = 0, clash = 0;
    EXPECT_LE(fdb_dsCreateDir(h, 1, "list", first, fdbPathKind), 0);
    EXPECT_LE(fdb_dsCreateDir(h, 1, "LIST", again, fdbPathKind), 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(fdb_tlCount(h, 1), 1);
    EXPECT_LE(fdb_dsWriteV(h, "cb2", StoreValue::fromBool(true), 1, fdbPathKind), 0);
    EXPECT_EQ(fdb_dsCreateDir(h, 1, "cb2", clash, fdbPathKind), fdbcode::NameTaken);
    EXPECT_EQ(fdb_dsForceCreateDir(h, "cb2/x", clash, 1, fdbPathKind), fdbcode::NameTaken);
    EXPECT_EQ(fdb_dsCreateDir(h, 1, "a/b", clash, fdbPathKind), fdbcode::BadArgument);
    EXPECT_EQ(fdb_d2GetR(h, "list", clash, 1, 3), fdbcode::BadArgument);
}

// Values at paths: the default when missing or empty, replaced in place, never over a directory.
TEST_F(FdbTest, ReadAndWriteValuesAtPaths) {
    StoreValue out;
    EXPECT_GT(fdbq_dsReadV(h, "seDiv", StoreValue::fromInt32(1), 1, fdbPathKind, out), 0);
    EXPECT_EQ(out, StoreValue::fromInt32(1));
    EXPECT_LE(fdb_dsWriteV(h, "opts/seDiv", StoreValue::fromInt32(3), 1, fdbPathKind), 0);
    EXPECT_LE(fdb_dsWriteV(h, "OPTS/SEDIV", StoreValue::fromInt32(4), 1, fdbPathKind), 0);
    EXPECT_LE(fdbq_dsReadV(h, "opts/seDiv", StoreValue::fromInt32(1), 1, fdbPathKind, out), 0);
    EXPECT_EQ(out, StoreValue::fromInt32(4));
    EXPECT_EQ(fdb_tlCount(h, resolve("opts")), 1);
    EXPECT_EQ(fdb_dsWriteV(h, "opts", StoreValue::fromInt32(1), 1, fdbPathKind), fdbcode::NameTaken);
    EXPECT_GT(fdbq_dsReadV(h, "opts", StoreValue::fromText("d"), 1, fdbPathKind, out), 0);
    EXPECT_EQ(out.toText(), "d");
    EXPECT_EQ(fdb_dsWriteV(h, "", StoreValue::fromInt32(1), 1, fdbPathKind), fdbcode::BadArgument);
}

// Of two links with one name the first wins; when it goes, the second is found.
TEST_F(FdbTest, SameNameTwiceFallsBackToTheSecond) {
    int first = 0, holder = 0, second = 0;
    fdb_dsCreateDir(h, 1, "x", first, fdbPathKind);
    fdb_dsCreateDir(h, 1, "holder", holder, fdbPathKind);
    fdb_dsCreateDir(h, holder, "X", second, fdbPathKind);
    fdb_tlAdd(h, 1, second); // a second "x" in the root
    EXPECT_EQ(resolve("x"), first);
    fdb_tlDelete(h, 1, 0);
    EXPECT_EQ(resolve("x"), second);
    fdb_DeleteEx(h, second, fdbDeleteAll);
    EXPECT_EQ(resolve("x"), -1);
    EXPECT_EQ(resolve("holder"), holder);
}

// Masks and objects: one field per mask field, found by position or by name in any case.
TEST_F(FdbTest, ObjectsFollowTheirMask) {
    int mask = fdb_GetFirstFree(h);
    EXPECT_LE(fdb_omCreate(h, mask, "item", 1), 0);
    EXPECT_EQ(fdb_omAddItem(h, mask, "Name", fdbkind::Text, 0, 0, 0), 0);
    EXPECT_EQ(fdb_omAddItem(h, mask, "Size", fdbkind::WideValue, 0, 0, 0), 0);
    EXPECT_EQ(fdb_omAddItem(h, mask, "SIZE", fdbkind::Value, 0, 0, 0), fdbcode::NameTaken);
    EXPECT_EQ(fdb_omAddItem(h, mask, "Bad", 99, 0, 0, 0), fdbcode::BadArgument);
    EXPECT_EQ(fdb_omAddItem(h, mask, "", fdbkind::Text, 0, 0, 0), fdbcode::BadArgument);
    int object = fdb_GetFirstFree(h);
    EXPECT_LE(fdb_oCreate(h, object, mask, 0), 0);
    int byPosition = 0, byName = 0;
    EXPECT_LE(fdb_oGetLinkJ(h, object, 1, byPosition), 0);
    EXPECT_LE(fdb_oGetLinkN(h, object, "size", byName), 0);
    EXPECT_EQ(byPosition, byName);
    int untouched = 42;
    EXPECT_GT(fdb_oGetLinkJ(h, object, 2, untouched), 0);
    EXPECT_GT(fdb_oGetLinkN(h, object, "Len", untouched), 0);
    EXPECT_EQ(untouched, 42);
    EXPECT_GT(fdb_oCreate(h, fdb_GetFirstFree(h), object, 0), 0) << "an object is no mask";
    fdb_DeleteEx(h, object, fdbDeleteAll);
    StoreValue v;
    EXPECT_GT(fdb_vGet(h, byName, v, 0), 0) << "the fields go with their object";
}

// Calls on a handle that was never started or was destroyed answer a code, never crash.
TEST(FdbHandleTest, UnstartedHandleAnswersCodes) {
    TfdbHandle h;
    int item = 5;
    StoreValue v;
    EXPECT_EQ(fdb_New(h, 1, fdbkind::Text), fdbcode::NoStore);
    EXPECT_EQ(fdb_d2GetR(h, "", item, 1, fdbPathKind), fdbcode::NoStore);
    EXPECT_EQ(fdbq_dsReadV(h, "a", StoreValue::fromInt32(9), 1, fdbPathKind, v), fdbcode::NoStore);
    EXPECT_EQ(v, StoreValue::fromInt32(9));
    EXPECT_EQ(fdb_tlCount(h, 1), 0);
    EXPECT_EQ(fdb_GetFirstFree(h), 0);
    fdb_dbStart(h);
    EXPECT_EQ(fdb_d2GetR(h, "", item, 1, fdbPathKind), fdbcode::NoSuchItem) << "started, no root yet";
    fdb_dbCreateDefault(h, 0);
    EXPECT_LE(fdb_d2GetR(h, "", item, 1, fdbPathKind), 0);
    fdb_dbDestroy(h);
    EXPECT_EQ(fdb_tlAdd(h, 1, 1), fdbcode::NoStore);
}

} // namespace
