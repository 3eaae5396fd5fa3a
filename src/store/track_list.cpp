#include "store/track_list.h"

#include <algorithm>

namespace store {
namespace {

constexpr int fieldCount = 5;

// The item number of "list", or 0.
int listNumber(TfdbObject& listDb) {
    int number = 0;
    return listDb.DSystem.Resolve(trackListPath, number) > 0 ? 0 : number;
}

// The object at `position` of "list", or 0.
int entryNumber(TfdbObject& listDb, int position) {
    int list = listNumber(listDb);
    return list > 0 ? fdb_tlGet(listDb.Handle, list, position) : 0;
}

StoreValue fieldValue(TfdbObject& listDb, int entry, TrackField field) {
    TfdbItem object(listDb, entry);
    TfdbItem item(listDb, object.AsObject.FieldIndex(static_cast<int>(field)));
    StoreValue value;
    item.GetValue(value);
    return value;
}

void writeField(TfdbObject& listDb, int entry, TrackField field, const StoreValue& value) {
    TfdbItem object(listDb, entry);
    TfdbItem item(listDb, object.AsObject.FieldIndex(static_cast<int>(field)));
    item.SetValue(value);
}

TrackEntry entryAt(TfdbObject& listDb, int entry) {
    TrackEntry track;
    track.OrigFileName = fieldValue(listDb, entry, TrackField::OrigFileName).toText();
    track.FileName = fieldValue(listDb, entry, TrackField::FileName).toText();
    track.Desc = fieldValue(listDb, entry, TrackField::Desc).toText();
    track.Size = fieldValue(listDb, entry, TrackField::Size).toInt64();
    StoreValue len = fieldValue(listDb, entry, TrackField::Len);
    if (!len.isEmpty()) {
        track.Len = len.toInt32();
    }
    return track;
}

} // namespace

std::string_view trackFieldName(TrackField field) {
    static constexpr std::string_view names[fieldCount] = {"OrigFileName", "FileName", "Desc", "Size", "Len"};
    return names[static_cast<int>(field)];
}

StoreValue sizeValue(int64_t size) {
    return size == -1 ? StoreValue::fromInt8(-1) : StoreValue::fromInt64(size);
}

int createTrackListLayout(TfdbObject& listDb) {
    listDb.DSystem.CreateDir("", trackListPath);
    int mask =
        listDb.CreateObjectMask(trackMaskPath, {"OrigFileName", "FileName", "Desc", "Size", 7, "Len", 6}, 1);
    listDb.NewItemRef(mask)->AddToList(1);
    return mask;
}

int appendTrackEntry(TfdbObject& listDb, const TrackEntry& entry) {
    int mask = 0;
    int list = listNumber(listDb);
    if (list == 0 || listDb.DSystem.Resolve(trackMaskPath, mask) > 0) {
        return fdbcode::NotFound;
    }
    int number = 0;
    int code = listDb.CreateObject(mask, number, 0);
    if (code > 0) {
        return code;
    }
    writeField(listDb, number, TrackField::OrigFileName, StoreValue::fromText(entry.OrigFileName));
    writeField(listDb, number, TrackField::FileName, StoreValue::fromText(entry.FileName));
    writeField(listDb, number, TrackField::Desc, StoreValue::fromText(entry.Desc));
    writeField(listDb, number, TrackField::Size, sizeValue(entry.Size));
    if (entry.Len) {
        writeField(listDb, number, TrackField::Len, StoreValue::fromInt32(*entry.Len));
    }
    TfdbItem(listDb, list).AsTLinks.Add(number);
    return code;
}

int trackCount(TfdbObject& listDb) {
    int list = listNumber(listDb);
    return list > 0 ? fdb_tlCount(listDb.Handle, list) : 0;
}

bool readTrackEntry(TfdbObject& listDb, int position, TrackEntry& entry) {
    int number = entryNumber(listDb, position);
    if (number <= 0) {
        return false;
    }
    entry = entryAt(listDb, number);
    return true;
}

void forEachTrackEntry(TfdbObject& listDb,
                       const std::function<void(int position, const TrackEntry&)>& visit) {
    int list = listNumber(listDb);
    int count = list > 0 ? fdb_tlCount(listDb.Handle, list) : 0;
    for (int position = 0; position < count; ++position) {
        int number = fdb_tlGet(listDb.Handle, list, position);
        visit(position, number > 0 ? entryAt(listDb, number) : TrackEntry{});
    }
}

StoreValue readTrackField(TfdbObject& listDb, int position, TrackField field) {
    int number = entryNumber(listDb, position);
    return number > 0 ? fieldValue(listDb, number, field) : StoreValue{};
}

int setTrackField(TfdbObject& listDb, int position, TrackField field, const StoreValue& value) {
    int number = entryNumber(listDb, position);
    if (number <= 0) {
        return fdbcode::NotFound;
    }
    writeField(listDb, number, field, value);
    return fdbcode::Ok;
}

int removeTrackEntries(TfdbObject& listDb, std::vector<int> positions) {
    int list = listNumber(listDb);
    if (list == 0) {
        return fdbcode::NotFound;
    }
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    TfdbItem links(listDb, list);
    for (int position : positions) {
        int entry = fdb_tlGet(listDb.Handle, list, position);
        links.AsTLinks.Delete(position);
        // Nothing reaches a removed entry any more; deleting it keeps the store from growing
        // with every removal during a long session.
        if (entry > 0) {
            fdb_DeleteEx(listDb.Handle, entry, fdbDeleteAll);
        }
    }
    fdb_tlRemoveNulls(listDb.Handle, list);
    return fdbcode::Ok;
}

bool reorderTrackEntries(TfdbObject& listDb, const std::vector<int>& order) {
    const int list = listNumber(listDb);
    const int count = list > 0 ? fdb_tlCount(listDb.Handle, list) : 0;
    if (list == 0 || static_cast<int>(order.size()) != count) {
        return false;
    }
    std::vector<int> entries(order.size());
    std::vector<bool> seen(order.size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        const int from = order[i];
        if (from < 0 || from >= count || seen[static_cast<size_t>(from)]) {
            return false;
        }
        seen[static_cast<size_t>(from)] = true;
        entries[i] = fdb_tlGet(listDb.Handle, list, from);
    }
    for (int position = 0; position < count; ++position) {
        fdb_tlDelete(listDb.Handle, list, position);
    }
    fdb_tlRemoveNulls(listDb.Handle, list);
    for (int entry : entries) {
        fdb_tlAdd(listDb.Handle, list, entry);
    }
    return true;
}

void rebuildTrackList(TfdbObject& listDb) {
    listDb.DSystem.ItemByPath(std::string(trackListPath) + "/")->Delete(fdbDeleteAll);
    fdb_tlRemoveNulls(listDb.Handle, 1);
    listDb.DSystem.CreateDir("", trackListPath);
}

} // namespace store
