// Inside the item store: the items, their links and the directory name index, shared by the
// call layer (fdb_*.cpp), the file codec and the dump. Not for the program's other modules.
#pragma once

#include "store/fdb.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace store {

// A link remembers the generation of the item it points to: deleting an item bumps its
// generation, so every old link to it reads as empty at once, without searching the lists
// that hold it, and a reused number is never reached through an old link.
struct Link {
    int32_t number = 0;
    uint32_t generation = 0;
};

struct MaskField {
    std::string name;
    std::string foldedName;
    int type = fdbkind::Text;
    int i2 = 0, i3 = 0, i4 = 0;
};

// The named links of one directory: folded name -> the first live link that carries it.
// Adding keeps it exact; a removal that may uncover a second link of the same name marks it
// stale, and the next look-up rebuilds it from the links (directories with such doubles are
// rare, so look-ups stay O(1)).
struct NameIndex {
    std::unordered_map<std::string, Link> byName;
    int doubles = 0;
    bool stale = false;
};

// What directories, link lists, masks, objects and named values carry beyond a value; kept
// apart so that the many text and value items stay small.
struct ItemBody {
    std::string name;
    std::vector<Link> links; // directory and list links; an object's fields in mask order
    std::vector<MaskField> fields;
    Link mask; // an object's mask
    std::unique_ptr<NameIndex> index;
};

struct Item {
    uint8_t kind = fdbkind::Free;
    uint32_t generation = 0;
    StoreValue value;
    std::unique_ptr<ItemBody> body;
};

inline constexpr int32_t maxItemCount = 1 << 24;

struct FdbStore {
    // [0] stands for "no item" and is never handed out. A deque: a store of a million items grows
    // a block at a time, never to twice its size nor through a copy of all it holds.
    std::deque<Item> items = std::deque<Item>(1);
    std::vector<int32_t> freeNumbers; // may hold numbers taken since; skipped when met

    bool isLive(int number) const {
        return number > 0 && static_cast<size_t>(number) < items.size() &&
               items[number].kind != fdbkind::Free;
    }
    bool isLive(Link link) const {
        return isLive(link.number) && items[link.number].generation == link.generation;
    }
    Link linkTo(int number) const { return {number, items[number].generation}; }
    Item* live(int number) { return isLive(number) ? &items[number] : nullptr; }
    Item* liveOfKind(int number, int kind) {
        Item* item = live(number);
        return item && item->kind == kind ? item : nullptr;
    }

    int firstFree();
    // Makes `number` a new item of `kind` (grows the table as needed); a code.
    int create(int number, int kind);
    // Takes a number, makes it a new item; 0 when the store is full.
    int allocate(int kind);
    // Deletes `number` and everything it holds; the root is never deleted.
    void deleteDeep(int number);
};

bool isDataKind(int kind);  // text and value items
bool hasLinkList(int kind); // directories and link lists
bool isFieldType(int kind); // what a mask field may be: directory, list, text, value
std::string cutName(const std::string& name);
const std::string& itemName(const Item& item);

// Name index maintenance and look-up for directories.
void indexAddedLink(FdbStore& store, Item& directory, Link link);
void indexRemovedLink(FdbStore& store, Item& directory, Link link);
void indexCleared(Item& directory);
// The live item that `directory` links under `name` (any case), or 0.
int findNamedLink(FdbStore& store, Item& directory, const std::string& name);

} // namespace store
