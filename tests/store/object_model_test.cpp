// The store object model: shared and owned references, views, paths, string lists, masks.
#include "store/object_model.h"

#include "store/item_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace store;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using StringList = std::vector<std::string>;

namespace {

class ObjectModelTest : public ::testing::Test {
protected:
    ObjectModelTest() : db([this](const std::string& text) { log.push_back(text); }) {}

    StringList log;
    TfdbObject db;
};

// Creation hands the module text and the model's version to the message routine, and leaves
// only the root.
TEST_F(ObjectModelTest, CreationLogsAndLeavesTheRoot) {
    std::string module;
    db.ModuleInfo(module);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], module + "\r\nfdbObjectModel v1.37 D4BD\r\n");
    EXPECT_EQ(db.Item(1).AsTLinks.Count(), 0);
    EXPECT_EQ(db.ItemSlot.Index, 1);
    EXPECT_EQ(TfdbObject().LinkSlot.Index, 0) << "slots start aimed at 0";
}

// An empty list has High() -1, so a walk from 0 to High() does nothing.
TEST_F(ObjectModelTest, EmptyListHasHighMinusOne) {
    db.DSystem.ForceDir("empty");
    auto list = db.DSystem.ItemByPath("empty");
    EXPECT_EQ(list->AsTLinks.High(), -1);
    EXPECT_EQ(db.NewItemRef(-1)->AsTLinks.High(), -1);
}

// "" and a look-up that gives 0 or less resolve to the root; a miss gives a positive code.
TEST_F(ObjectModelTest, ResolveFallsBackToTheRoot) {
    int number = 77;
    EXPECT_LE(db.DSystem.Resolve("", number), 0);
    EXPECT_EQ(number, 1);
    number = 77;
    EXPECT_GT(db.DSystem.Resolve("missing", number), 0);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(db.DSystem.ItemByPath("missing")->Index, -1);
    EXPECT_EQ(db.DSystem.ItemByPath("/")->Index, 1);
}

// A reference aimed at nothing or at 0 writes nothing and leaves the reader's variable alone.
TEST_F(ObjectModelTest, ReferencesAtNothingReadAndWriteNothing) {
    int item = db.AllocItem(fdbkind::Text);
    db.Item(item).AsString.SetStr("kept");
    for (int index : {-1, 0}) {
        auto ref = db.NewItemRef(index);
        ref->SetValue(StoreValue::fromText("lost"));
        StoreValue value = StoreValue::fromInt32(5);
        ref->GetValue(value);
        EXPECT_EQ(value, StoreValue::fromInt32(5));
        std::string text = "same";
        EXPECT_GT(ref->AsString.GetStr(text), 0);
        EXPECT_EQ(text, "same");
        EXPECT_EQ(ref->IntValue(), 0);
    }
    std::string text;
    EXPECT_LE(db.Item(item).AsString.GetStr(text), 0);
    EXPECT_EQ(text, "kept");
}

// A shared slot follows the latest call; an owned reference keeps its item.
TEST_F(ObjectModelTest, SlotsAreReaimedOwnedReferencesStay) {
    int a = db.AllocItem(fdbkind::Text);
    int b = db.AllocItem(fdbkind::Text);
    TfdbItem& first = db.Item(a);
    auto owned = db.NewItemRef(a);
    TfdbItem& second = db.Item(b);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.Index, b);
    EXPECT_EQ(owned->Index, a);
    owned->Index = b; // re-aiming a reference re-aims its views
    owned->AsString.SetStr("via view");
    std::string text;
    db.Item(b).AsString.GetStr(text);
    EXPECT_EQ(text, "via view");
}

// String lists: saved in order, loaded back, saved twice without doubling, emptied by an
// empty list; a missing path empties the caller's list and answers a positive code.
TEST_F(ObjectModelTest, StringListsRoundTripThroughPaths) {
    StringList loaded{"stale"};
    EXPECT_GT(db.Utils.LoadListFromPath("Source1", loaded), 0);
    EXPECT_TRUE(loaded.empty());

    StringList paths{"D:\\Music\\b.m3u", "D:\\Music\\a.m3u", ""};
    EXPECT_EQ(db.Utils.SaveListToPath("Source1", paths), 0);
    EXPECT_EQ(db.Utils.SaveListToPath("Source1", paths), 0);
    EXPECT_EQ(db.Utils.LoadListFromPath("source1", loaded), 0);
    EXPECT_EQ(loaded, paths);

    EXPECT_EQ(db.Utils.SaveListToPath("Source1", {}), 0);
    EXPECT_EQ(db.Utils.LoadListFromPath("Source1", loaded), 0);
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(db.DSystem.ItemByPath("Source1")->AsTLinks.Count(), 0);
}

// Saving a list twice frees the old text items, so the store does not grow.
TEST_F(ObjectModelTest, SavingAgainReusesNumbers) {
    StringList strings(50, "x");
    db.Utils.SaveListToPath("Dest", strings);
    int firstFree = fdb_GetFirstFree(db.Handle);
    db.Utils.SaveListToPath("Dest", strings);
    EXPECT_LE(fdb_GetFirstFree(db.Handle), firstFree);
}

// A key that holds another kind than the program reads it as (a damaged or foreign file) reads
// as absent, and writing it replaces the item with one of the right kind.
TEST_F(ObjectModelTest, KeysOfTheWrongKindReadAsAbsentAndAreRewritten) {
    db.DSystem.WriteValue("Source1", StoreValue::fromInt32(3)); // a value where a list belongs
    db.DSystem.ForceDir("cb2/inner");                           // a directory where a bool belongs
    db.DSystem.WriteValue("seDiv", StoreValue::fromText("5"));  // text where an integer belongs
    db.Utils.SaveListToPath("Dest", {"D:\\a"});
    db.DSystem.ForceDir("Dest/not a text"); // a directory among the texts

    StringList texts{"old"};
    db.Utils.LoadListFromPath("Source1", texts);
    EXPECT_THAT(texts, ElementsAre());
    db.Utils.LoadListFromPath("Dest", texts);
    EXPECT_THAT(texts, ElementsAre("D:\\a", "")); // as an emptied link reads
    StoreValue value;
    EXPECT_EQ(db.DSystem.ReadValue("cb2", StoreValue::fromBool(true), value), fdbcode::WrongKind);
    EXPECT_EQ(value, StoreValue::fromBool(true));
    EXPECT_EQ(db.DSystem.ReadValue("seDiv", StoreValue::fromInt32(1), value), fdbcode::WrongKind);
    EXPECT_EQ(value, StoreValue::fromInt32(1));
    // Integers of any width read as integers.
    db.DSystem.WriteValue("cb5", StoreValue::fromUInt8(2));
    EXPECT_LE(db.DSystem.ReadValue("cb5", StoreValue::fromInt32(0), value), 0);
    EXPECT_EQ(value.toInt32(), 2);

    EXPECT_EQ(db.Utils.SaveListToPath("Source1", {"D:\\x.m3u"}), 0);
    EXPECT_LE(db.DSystem.WriteValue("cb2", StoreValue::fromBool(false)), 0);
    EXPECT_LE(db.DSystem.WriteValue("seDiv", StoreValue::fromInt32(2)), 0);
    db.Utils.LoadListFromPath("Source1", texts);
    EXPECT_THAT(texts, ElementsAre("D:\\x.m3u"));
    EXPECT_LE(db.DSystem.ReadValue("cb2", StoreValue::fromBool(true), value), 0);
    EXPECT_EQ(value, StoreValue::fromBool(false));
    EXPECT_LE(db.DSystem.ReadValue("seDiv", StoreValue::fromInt32(1), value), 0);
    EXPECT_EQ(value, StoreValue::fromInt32(2));
    // The replaced directory took what it held with it.
    EXPECT_EQ(db.DSystem.ItemByPath("cb2/inner")->Index, -1);
}

// Settings values: defaults when missing, the stored value once written.
TEST_F(ObjectModelTest, ReadValueFallsBackToTheDefault) {
    StoreValue value;
    db.DSystem.ReadValue("cbExistAction", StoreValue::fromInt32(1), value);
    EXPECT_EQ(value.toInt64(), 1);
    EXPECT_LE(db.DSystem.WriteValue("cbExistAction", StoreValue::fromInt32(2)), 0);
    EXPECT_LE(db.DSystem.ReadValue("cbExistAction", StoreValue::fromInt32(1), value), 0);
    EXPECT_EQ(value.toInt64(), 2);
}

// CreateDir makes a directory under an existing parent and nothing under a missing one.
TEST_F(ObjectModelTest, CreateDirNeedsItsParent) {
    db.DSystem.CreateDir("", "list");
    int list = db.DSystem.LastDirIndex;
    EXPECT_EQ(db.DSystem.ItemByPath("list")->Index, list);
    db.DSystem.CreateDir("nowhere", "sub");
    EXPECT_EQ(db.DSystem.LastDirIndex, list);
    EXPECT_EQ(db.DSystem.ItemByPath("nowhere/sub")->Index, -1);
    EXPECT_LE(db.DSystem.ForceDir("a/b/c"), 0);
    EXPECT_EQ(db.DSystem.ItemByPath("A/B/C")->Index, db.DSystem.LastDirIndex);
}

// Clear deletes every linked item and leaves an empty list.
TEST_F(ObjectModelTest, ClearDeletesLinkedItems) {
    db.Utils.SaveListToPath("h", {"a", "b"});
    auto list = db.DSystem.ItemByPath("h");
    int text = list->AsTLinks.Link(0).Index;
    EXPECT_EQ(list->AsTLinks.Clear(fdbDeleteAll), 0);
    EXPECT_EQ(list->AsTLinks.Count(), 0);
    std::string value = "gone?";
    EXPECT_GT(db.Item(text).AsString.GetStr(value), 0);
}

// The fields a mask holds, as "name type i2 i3 i4".
StringList maskFields(TfdbObject& db, int mask) {
    StringList fields;
    for (const MaskField& f : db.Handle.store->items[mask].body->fields) {
        fields.push_back(f.name + " " + std::to_string(f.type) + " " + std::to_string(f.i2) + " " +
                         std::to_string(f.i3) + " " + std::to_string(f.i4));
    }
    return fields;
}

// The mask walk: names open fields, integers fill type and three more, defaults (4, 0, 0, 0)
// fill the rest; integers before the first name, fifth integers and other entries are ignored.
TEST_F(ObjectModelTest, CreateObjectMaskWalksTheEntries) {
    int mask = db.CreateObjectMask("m", {5, "A", 'B', 7, "C", 2, 1, 2, 3, 99, 2.5, "D", 6}, 1);
    EXPECT_EQ(log.back(), "# TfdbObject.CreateObjectMask() /array of const");
    EXPECT_THAT(maskFields(db, mask), ElementsAre("A 4 0 0 0", "B 7 0 0 0", "C 2 1 2 3", "D 6 0 0 0"));
    EXPECT_THAT(maskFields(db, db.CreateObjectMask("empty", {}, 1)), ElementsAre());
    EXPECT_THAT(maskFields(db, db.CreateObjectMask(std::string(300, 'n'), {std::string(300, 'f')}, 1)),
                ElementsAre(std::string(255, 'f') + " 4 0 0 0"));
}

// An object gets one item per field, of the field's type: a list field holds links.
TEST_F(ObjectModelTest, ObjectFieldsFollowTheirTypes) {
    int mask = db.CreateObjectMask("m", {"Name", "Links", 2, "Size", 7}, 1);
    int object = 0;
    ASSERT_LE(db.CreateObject(mask, object, 0), 0);
    TfdbItemAsObject& fields = db.Item(object).AsObject;
    fields.FieldByName("name").AsString.SetStr("x");
    std::string text;
    EXPECT_LE(fields.Field(0).AsString.GetStr(text), 0);
    EXPECT_EQ(text, "x");
    fields.FieldByName("links").AsTLinks.Add(object);
    EXPECT_EQ(fields.Field(1).AsTLinks.Count(), 1);
    fields.FieldByName("SIZE").SetValue(StoreValue::fromInt64(5000000000));
    StoreValue size;
    fields.Field(2).GetValue(size);
    EXPECT_EQ(size.toInt64(), 5000000000);
    EXPECT_EQ(fields.FieldIndex(3), -1);
    int none = 0;
    EXPECT_GT(db.CreateObject(9999999, none, 0), 0) << "no such mask";
}

// A refused field is reported through IVmsgE with its context, and the mask still comes back.
TEST_F(ObjectModelTest, RefusedFieldIsReported) {
    int mask = db.CreateObjectMask("m", {"A", "a", "Ok", 99}, 1);
    EXPECT_GT(mask, 0);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_THAT(log[2], HasSubstr("../fdb_omAddItem()"));
    EXPECT_THAT(log[3], HasSubstr("../fdb_omAddItem()"));
    int object = 0;
    ASSERT_LE(db.CreateObject(mask, object, 0), 0);
    EXPECT_EQ(db.Item(object).AsObject.FieldIndex(0), db.Item(object).AsObject.FieldRef("A")->Index);
    EXPECT_EQ(db.Item(object).AsObject.FieldIndex(1), -1);
}

// Field look-ups that fail aim at -1; chains of slots do not disturb each other.
TEST_F(ObjectModelTest, FieldLookupsAndSlotChains) {
    int mask = db.CreateObjectMask("item", {"Desc", "Len", 6}, 1);
    db.DSystem.CreateDir("", "list");
    int list = db.DSystem.LastDirIndex;
    for (int i = 0; i < 3; ++i) {
        int object = 0;
        db.CreateObject(mask, object, 0);
        db.Item(object).AsObject.FieldByName("len").SetValue(StoreValue::fromInt32(i * 10));
        db.Item(list).AsTLinks.Add(object);
    }
    auto links = db.DSystem.ItemByPath("list");
    for (int i = 0; i <= links->AsTLinks.High(); ++i) {
        EXPECT_EQ(links->AsTLinks.Link(i).AsObject.FieldByName("LEN").IntValue(), i * 10);
        EXPECT_EQ(links->AsTLinks.Link(i).AsObject.Field(5).Index, -1);
        EXPECT_EQ(links->AsTLinks.Link(i).AsObject.FieldRef("Size")->Index, -1);
    }
    int number = 3;
    EXPECT_GT(db.Item(list).AsObject.FindFieldByName("Desc", number), 0) << "a directory has no fields";
}

// Deleting an entry through its reference empties its link in the list.
TEST_F(ObjectModelTest, DeleteThroughReference) {
    db.Utils.SaveListToPath("h", {"a", "b", "c"});
    auto list = db.DSystem.ItemByPath("h");
    list->AsTLinks.LinkRef(1)->Delete(fdbDeleteAll);
    EXPECT_EQ(list->AsTLinks.Count(), 3);
    EXPECT_EQ(list->AsTLinks.Link(1).Index, 0);
    StringList loaded;
    db.Utils.LoadList(list->Index, loaded);
    EXPECT_THAT(loaded, ElementsAre("a", "", "c"));
}

} // namespace
