// The store file format (little-endian throughout):
//
//   header  8 bytes magic "TWFDB\r\n\x1A", u32 version (1), u64 payload length,
//           u32 CRC-32 of the payload
//   payload u32 item count n; then items 1..n in number order (item 1 is the root
//           directory), each: u8 kind, u8 name length, the name, then by kind
//             directory, link list: links
//             object mask:          u32 field count, each field: u8 name length, name,
//                                   i32 type, i32 i2, i32 i3, i32 i4
//             object:               u32 mask number (0 = none), links (its fields)
//             text, value:          value
//   links   u32 count, then u32 item numbers (0 = an empty link)
//   value   u8 StoreValue kind, then: bool u8 0/1; integers 1, 2, 4 or 8 bytes; text u32
//           length and the bytes; empty nothing
//
// Saving numbers the live items 1..n in their order, so the file holds no gaps and deleted
// items' links are written as empty. Loading checks everything before it trusts it: the
// magic, version, length and checksum, every count against the bytes that remain (so no
// allocation outgrows the file), every item number against n, kinds, value tags, that
// nothing follows the last item, and that the items form a tree below the root (no item held
// from two places, none holding the root, no circle), since deleting an item deletes all it
// holds and a shared item would take another's content with it.
#pragma once

#include "store/item_store.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

inline constexpr uint32_t storeFileVersion = 1;
inline constexpr size_t storeFileHeaderSize = 24;
inline constexpr int64_t maxStoreFileBytes = int64_t{512} << 20;

std::string encodeStore(const FdbStore& store);
// Ok with `out` replaced by the file's store, or FileCorrupt with `out` untouched.
int decodeStore(std::string_view bytes, FdbStore& out);

// The header for `payload` followed by the payload: how encodeStore finishes a file, and how
// tests build files with hand-made payloads.
std::string sealStorePayload(std::string_view payload);
uint32_t crc32(std::string_view bytes);

} // namespace store
