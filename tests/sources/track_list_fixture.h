// A track-list store laid out as the window makes it (the folder "list" and the mask "item"
// linked into the root), and its entries read back as plain values for comparison.
#pragma once

#include "store/object_model.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace sourcestest {

inline std::unique_ptr<store::TfdbObject> makeListDb() {
    auto listDb = std::make_unique<store::TfdbObject>([](const std::string&) {});
    listDb->DSystem.CreateDir("", "list");
    const int mask = listDb->CreateObjectMask("item", {"OrigFileName", "FileName", "Desc", "Size", 7, "Len", 6}, 1);
    listDb->NewItemRef(mask)->AddToList(1);
    return listDb;
}

struct Entry {
    std::string orig;
    std::string desc;
    store::StoreValue len; // empty when unwritten
    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "{" << entry.orig << " | " << entry.desc << " | " << entry.len.toText() << "}";
}

// One field of every entry of "list", in list order.
inline std::vector<store::StoreValue> fieldOfEntries(store::TfdbObject& listDb, const std::string& field) {
    std::vector<store::StoreValue> values;
    auto list = listDb.DSystem.ItemByPath("list");
    for (int position = 0; position <= list->AsTLinks.High(); ++position) {
        store::StoreValue value;
        list->AsTLinks.Link(position).AsObject.FieldByName(field).GetValue(value);
        values.push_back(value);
    }
    return values;
}

inline std::vector<std::string> textsOf(const std::vector<store::StoreValue>& values) {
    std::vector<std::string> texts;
    for (const auto& value : values) {
        texts.push_back(value.toText());
    }
    return texts;
}

inline std::vector<int64_t> numbersOf(const std::vector<store::StoreValue>& values) {
    std::vector<int64_t> numbers;
    for (const auto& value : values) {
        numbers.push_back(value.toInt64());
    }
    return numbers;
}

inline std::vector<Entry> entriesOf(store::TfdbObject& listDb) {
    const auto orig = textsOf(fieldOfEntries(listDb, "OrigFileName"));
    const auto desc = textsOf(fieldOfEntries(listDb, "Desc"));
    const auto len = fieldOfEntries(listDb, "Len");
    std::vector<Entry> entries;
    for (size_t i = 0; i < orig.size(); ++i) {
        entries.push_back({orig[i], desc[i], len[i]});
    }
    return entries;
}

inline store::StoreValue Len(int32_t value) { return store::StoreValue::fromInt32(value); }

} // namespace sourcestest
