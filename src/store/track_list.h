// The track list in its store (ListDb): the object mask "item" (linked into the root) and
// the directory "list", whose link list holds one object per track, in list order. Every
// entry has the fields of the mask, by position:
//
//   0 OrigFileName  text   full path of the source file
//   1 FileName      text   full destination path; "" until the naming rules run
//   2 Desc          text   the playlist's description; "" when there is none
//   3 Size          value  source length in bytes: > 0 known, 0 unavailable, -1 not measured
//                          (-1 is kept as a signed 8-bit value, other sizes as 64-bit)
//   4 Len           value  play length in whole seconds; unwritten for folder and picked files
//
// Field names match without regard to case ("size" finds Size). These helpers are the list
// operations the sources, naming, preview and copy run share; they leave the store's
// shared references (Item, Field, Link) alone, so they can be called in the middle of a walk
// that uses them. Callers may use the object model on the same entries directly.
#pragma once

#include "store/object_model.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

inline constexpr const char* trackMaskPath = "item";
inline constexpr const char* trackListPath = "list";

struct TrackEntry {
    std::string OrigFileName;
    std::string FileName;
    std::string Desc;
    int64_t Size = -1;
    std::optional<int> Len; // nullopt: not written
};

enum class TrackField { OrigFileName = 0, FileName = 1, Desc = 2, Size = 3, Len = 4 };
std::string_view trackFieldName(TrackField field);

// The value a Size is stored as: -1 as a signed 8-bit value, anything else as 64-bit.
StoreValue sizeValue(int64_t size);

// Makes "list" under the root and the mask "item" linked into the root, as the window does
// once when it creates ListDb. Returns the mask's number.
int createTrackListLayout(TfdbObject& listDb);

// Appends an entry at the end of "list" (Len only when it holds a value). The code of the
// object's creation (0 or less = appended); NotFound when "item" or "list" is missing, and
// then nothing is appended.
int appendTrackEntry(TfdbObject& listDb, const TrackEntry& entry);

// The number of entries; 0 when "list" is missing.
int trackCount(TfdbObject& listDb);
// Reads the entry at `position` (from 0): false when there is none. Unwritten texts read
// as "", an unwritten Size as 0, an unwritten Len as nullopt.
bool readTrackEntry(TfdbObject& listDb, int position, TrackEntry& entry);
// Calls `visit` for every entry, first to last.
void forEachTrackEntry(TfdbObject& listDb, const std::function<void(int position, const TrackEntry&)>& visit);

// One field of the entry at `position`: the stored value (empty when unwritten or when there
// is no such entry), and writing it (a code; NotFound when there is no such entry).
StoreValue readTrackField(TfdbObject& listDb, int position, TrackField field);
int setTrackField(TfdbObject& listDb, int position, TrackField field, const StoreValue& value);

// Removes the entries at `positions` (any order; repeats and positions out of range are
// ignored): their links are emptied from the highest position down, then the gaps are
// closed, so the rest keep their order. The removed entries' objects are deleted too.
// NotFound when "list" is missing, else 0.
int removeTrackEntries(TfdbObject& listDb, std::vector<int> positions);

// Puts the entries in a new order: `order` holds each old position once, in the new order (the
// entry at old position order[0] comes first). The objects stay as they are; only their links
// move. false, changing nothing, when `order` is not such a permutation or "list" is missing.
bool reorderTrackEntries(TfdbObject& listDb, const std::vector<int>& order);

// Throws the list away with every entry and makes a new empty "list"; the mask stays.
void rebuildTrackList(TfdbObject& listDb);

} // namespace store
