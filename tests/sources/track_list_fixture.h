// A track-list store laid out as the window makes it, and its entries read back as plain
// values for comparison.
#pragma once

#include "store/track_list.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sourcestest {

inline std::unique_ptr<store::TfdbObject> makeListDb() {
    auto listDb = std::make_unique<store::TfdbObject>([](const std::string&) {});
    store::createTrackListLayout(*listDb);
    return listDb;
}

struct Entry {
    std::string orig;
    std::string desc;
    std::optional<int> len; // nullopt when unwritten
    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "{" << entry.orig << " | " << entry.desc << " | "
               << (entry.len ? std::to_string(*entry.len) : "unwritten") << "}";
}

inline std::vector<Entry> entriesOf(store::TfdbObject& listDb) {
    std::vector<Entry> entries;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        entries.push_back({entry.OrigFileName, entry.Desc, entry.Len});
    });
    return entries;
}

// One field of every entry, in list order.
inline std::vector<store::StoreValue> fieldOfEntries(store::TfdbObject& listDb, store::TrackField field) {
    std::vector<store::StoreValue> values;
    for (int position = 0; position < store::trackCount(listDb); ++position) {
        values.push_back(store::readTrackField(listDb, position, field));
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

} // namespace sourcestest
