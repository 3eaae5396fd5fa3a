#include "store/item_store.h"

#include "platform/name_case.h"

namespace store {
namespace {

bool isCreatableKind(int kind) {
    return kind == fdbkind::Directory || kind == fdbkind::LinkList || kind == fdbkind::ObjectMask ||
           kind == fdbkind::Text || kind == fdbkind::Object || isDataKind(kind);
}

bool needsBody(int kind) {
    return kind != fdbkind::Text && !isDataKind(kind);
}

void rebuildIndex(FdbStore& store, Item& directory) {
    NameIndex& index = *directory.body->index;
    index.byName.clear();
    index.doubles = 0;
    index.stale = false;
    for (Link link : directory.body->links) {
        if (!store.isLive(link)) {
            continue;
        }
        const std::string& name = itemName(store.items[link.number]);
        if (!name.empty() && !index.byName.try_emplace(platform::foldNameCase(name), link).second) {
            ++index.doubles;
        }
    }
}

} // namespace

bool isDataKind(int kind) {
    return kind == fdbkind::Text || kind == fdbkind::Value || kind == fdbkind::WideValue;
}

bool isFieldType(int kind) {
    return kind == fdbkind::Directory || kind == fdbkind::LinkList || isDataKind(kind);
}

bool hasLinkList(int kind) {
    return kind == fdbkind::Directory || kind == fdbkind::LinkList;
}

std::string cutName(const std::string& name) {
    return name.substr(0, fdbMaxNameLength);
}

const std::string& itemName(const Item& item) {
    static const std::string none;
    return item.body ? item.body->name : none;
}

int FdbStore::firstFree() {
    while (!freeNumbers.empty() && isLive(freeNumbers.back())) {
        freeNumbers.pop_back();
    }
    if (!freeNumbers.empty()) {
        return freeNumbers.back();
    }
    return items.size() < static_cast<size_t>(maxItemCount) ? static_cast<int>(items.size()) : 0;
}

int FdbStore::create(int number, int kind) {
    if (!isCreatableKind(kind)) {
        return fdbcode::BadArgument;
    }
    if (number <= 0) {
        return fdbcode::NoSuchItem;
    }
    if (number >= maxItemCount) {
        return fdbcode::StoreFull;
    }
    if (isLive(number)) {
        return fdbcode::ItemInUse;
    }
    if (static_cast<size_t>(number) >= items.size()) {
        int oldSize = static_cast<int>(items.size());
        items.resize(static_cast<size_t>(number) + 1);
        for (int skipped = number - 1; skipped >= oldSize; --skipped) {
            freeNumbers.push_back(skipped);
        }
    }
    Item& item = items[number];
    item.kind = static_cast<uint8_t>(kind);
    item.value = {};
    if (needsBody(kind)) {
        item.body = std::make_unique<ItemBody>();
        if (kind == fdbkind::Directory) {
            item.body->index = std::make_unique<NameIndex>();
        }
    }
    return fdbcode::Ok;
}

int FdbStore::allocate(int kind) {
    int number = firstFree();
    return number > 0 && create(number, kind) <= 0 ? number : 0;
}

void FdbStore::deleteDeep(int number) {
    std::vector<Link> pending{linkTo(number)};
    while (!pending.empty()) {
        Link link = pending.back();
        pending.pop_back();
        if (link.number == 1 || !isLive(link)) {
            continue;
        }
        Item& item = items[link.number];
        if (item.body) {
            pending.insert(pending.end(), item.body->links.begin(), item.body->links.end());
        }
        item.kind = fdbkind::Free;
        ++item.generation;
        item.value = {};
        item.body.reset();
        freeNumbers.push_back(link.number);
    }
}

void indexAddedLink(FdbStore& store, Item& directory, Link link) {
    const std::string& name = itemName(store.items[link.number]);
    if (name.empty()) {
        return;
    }
    NameIndex& index = *directory.body->index;
    auto [entry, added] = index.byName.try_emplace(platform::foldNameCase(name), link);
    if (added) {
        return;
    }
    if (store.isLive(entry->second)) {
        ++index.doubles;
    } else {
        entry->second = link;
        index.stale = index.stale || index.doubles > 0;
    }
}

void indexRemovedLink(FdbStore& store, Item& directory, Link link) {
    if (!store.isLive(link)) {
        return;
    }
    const std::string& name = itemName(store.items[link.number]);
    if (name.empty()) {
        return;
    }
    NameIndex& index = *directory.body->index;
    if (index.doubles > 0) {
        index.stale = true; // which link now carries the name is decided by the next rebuild
        return;
    }
    auto entry = index.byName.find(platform::foldNameCase(name));
    if (entry != index.byName.end() && entry->second.number == link.number &&
        entry->second.generation == link.generation) {
        index.byName.erase(entry);
    }
}

void indexCleared(Item& directory) {
    *directory.body->index = NameIndex{};
}

int findNamedLink(FdbStore& store, Item& directory, const std::string& name) {
    NameIndex& index = *directory.body->index;
    if (index.stale) {
        rebuildIndex(store, directory);
    }
    std::string key = platform::foldNameCase(cutName(name));
    auto entry = index.byName.find(key);
    if (entry == index.byName.end()) {
        return 0;
    }
    if (store.isLive(entry->second)) {
        return entry->second.number;
    }
    // The item under this name was deleted; another link may carry the same name.
    if (index.doubles == 0) {
        index.byName.erase(entry);
        return 0;
    }
    rebuildIndex(store, directory);
    entry = index.byName.find(key);
    return entry != index.byName.end() ? entry->second.number : 0;
}

} // namespace store
