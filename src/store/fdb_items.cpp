// Item calls of the store: numbers, kinds, links, texts, values, masks and objects.
#include "store/item_store.h"

#include "platform/name_case.h"

namespace store {
namespace {

Item* linkList(FdbStore& store, int list) {
    Item* item = store.live(list);
    return item && hasLinkList(item->kind) ? item : nullptr;
}

Item* dataItem(FdbStore& store, int number) {
    Item* item = store.live(number);
    return item && isDataKind(item->kind) ? item : nullptr;
}

// The code for a call on `number` that needed an item it did not find.
int missingCode(FdbStore& store, int number) {
    return store.isLive(number) ? fdbcode::WrongKind : fdbcode::NoSuchItem;
}

} // namespace

int fdb_GetFirstFree(TfdbHandle& handle) {
    return handle.store ? handle.store->firstFree() : 0;
}

int fdb_New(TfdbHandle& handle, int number, int kind) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    return kind == fdbkind::Object ? fdbcode::BadArgument : handle.store->create(number, kind);
}

int fdb_DeleteEx(TfdbHandle& handle, int item, int mode) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    if (mode != fdbDeleteAll) {
        return fdbcode::BadArgument;
    }
    if (item == 1 || !handle.store->isLive(item)) {
        return item == 1 ? fdbcode::WrongKind : fdbcode::NoSuchItem;
    }
    handle.store->deleteDeep(item);
    return fdbcode::Ok;
}

int fdb_tlNew(TfdbHandle& handle, int item, int mode) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    if (mode != 2) {
        return fdbcode::BadArgument;
    }
    if (!store.isLive(item)) {
        return store.create(item, fdbkind::LinkList);
    }
    Item* list = linkList(store, item);
    if (!list) {
        return fdbcode::WrongKind;
    }
    list->body->links.clear();
    if (list->kind == fdbkind::Directory) {
        indexCleared(*list);
    }
    return fdbcode::Ok;
}

int fdb_tlAdd(TfdbHandle& handle, int list, int item) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    Item* target = linkList(store, list);
    if (!target) {
        return missingCode(store, list);
    }
    if (!store.isLive(item)) {
        return fdbcode::NoSuchItem;
    }
    Link link = store.linkTo(item);
    target->body->links.push_back(link);
    if (target->kind == fdbkind::Directory) {
        indexAddedLink(store, *target, link);
    }
    return fdbcode::Ok;
}

int fdb_tlCount(TfdbHandle& handle, int list) {
    Item* target = handle.store ? linkList(*handle.store, list) : nullptr;
    return target ? static_cast<int>(target->body->links.size()) : 0;
}

int fdb_tlGet(TfdbHandle& handle, int list, int position) {
    Item* target = handle.store ? linkList(*handle.store, list) : nullptr;
    if (!target || position < 0 || static_cast<size_t>(position) >= target->body->links.size()) {
        return 0;
    }
    Link link = target->body->links[position];
    return handle.store->isLive(link) ? link.number : 0;
}

int fdb_tlDelete(TfdbHandle& handle, int list, int position) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    Item* target = linkList(store, list);
    if (!target) {
        return missingCode(store, list);
    }
    if (position < 0 || static_cast<size_t>(position) >= target->body->links.size()) {
        return fdbcode::BadPosition;
    }
    Link& link = target->body->links[position];
    if (target->kind == fdbkind::Directory) {
        indexRemovedLink(store, *target, link);
    }
    link = Link{};
    return fdbcode::Ok;
}

int fdb_tlRemoveNulls(TfdbHandle& handle, int list) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    Item* target = linkList(store, list);
    if (!target) {
        return missingCode(store, list);
    }
    std::erase_if(target->body->links, [&store](Link link) { return !store.isLive(link); });
    return fdbcode::Ok;
}

int fdb_sSet(TfdbHandle& handle, int item, const std::string& text) {
    StoreValue value = StoreValue::fromText(text);
    return fdb_vSet(handle, item, value, -1);
}

int fdb_sGet(TfdbHandle& handle, int item, std::string& text) {
    StoreValue value;
    int code = fdb_vGet(handle, item, value, 0);
    if (code <= 0) {
        text = value.toText();
    }
    return code;
}

int fdb_vSet(TfdbHandle& handle, int& item, const StoreValue& value, int /*mode*/) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    Item* target = dataItem(*handle.store, item);
    if (!target) {
        return missingCode(*handle.store, item);
    }
    target->value = value;
    return fdbcode::Ok;
}

int fdb_vGet(TfdbHandle& handle, int item, StoreValue& value, int /*mode*/) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    Item* source = dataItem(*handle.store, item);
    if (!source) {
        return missingCode(*handle.store, item);
    }
    value = source->value;
    return fdbcode::Ok;
}

int fdb_iGet(TfdbHandle& handle, int item) {
    Item* source = handle.store ? dataItem(*handle.store, item) : nullptr;
    return source ? static_cast<int16_t>(source->value.toInt64()) : 0;
}

int fdb_omCreate(TfdbHandle& handle, int number, const std::string& name, int /*flag*/) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    int code = handle.store->create(number, fdbkind::ObjectMask);
    if (code <= 0) {
        handle.store->items[number].body->name = cutName(name);
    }
    return code;
}

int fdb_omAddItem(TfdbHandle& handle, int mask, const std::string& name, int type, int i2, int i3, int i4) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    Item* target = handle.store->liveOfKind(mask, fdbkind::ObjectMask);
    if (!target) {
        return missingCode(*handle.store, mask);
    }
    std::string fieldName = cutName(name);
    if (fieldName.empty() || !isFieldType(type)) {
        return fdbcode::BadArgument;
    }
    std::string folded = platform::foldNameCase(fieldName);
    for (const MaskField& field : target->body->fields) {
        if (field.foldedName == folded) {
            return fdbcode::NameTaken;
        }
    }
    target->body->fields.push_back({std::move(fieldName), std::move(folded), type, i2, i3, i4});
    return fdbcode::Ok;
}

int fdb_oCreate(TfdbHandle& handle, int number, int mask, int /*flag*/) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    if (!store.liveOfKind(mask, fdbkind::ObjectMask)) {
        return missingCode(store, mask);
    }
    int code = store.create(number, fdbkind::Object);
    if (code > 0) {
        return code;
    }
    // Creating fields may grow the item table, so items are reached by number, not kept.
    store.items[number].body->mask = store.linkTo(mask);
    size_t fieldCount = store.items[mask].body->fields.size();
    for (size_t i = 0; i < fieldCount; ++i) {
        int field = store.allocate(store.items[mask].body->fields[i].type);
        if (field == 0) {
            store.deleteDeep(number);
            return fdbcode::StoreFull;
        }
        store.items[number].body->links.push_back(store.linkTo(field));
    }
    return fdbcode::Ok;
}

int fdb_oGetLinkJ(TfdbHandle& handle, int object, int position, int& item) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    Item* target = store.liveOfKind(object, fdbkind::Object);
    if (!target) {
        return missingCode(store, object);
    }
    const std::vector<Link>& fields = target->body->links;
    if (position < 0 || static_cast<size_t>(position) >= fields.size() || !store.isLive(fields[position])) {
        return fdbcode::BadPosition;
    }
    item = fields[position].number;
    return fdbcode::Ok;
}

int fdb_oGetLinkN(TfdbHandle& handle, int object, const std::string& name, int& item) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    FdbStore& store = *handle.store;
    Item* target = store.liveOfKind(object, fdbkind::Object);
    if (!target) {
        return missingCode(store, object);
    }
    if (!store.isLive(target->body->mask)) {
        return fdbcode::NotFound;
    }
    const std::vector<MaskField>& fields = store.items[target->body->mask.number].body->fields;
    std::string folded = platform::foldNameCase(cutName(name));
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].foldedName == folded) {
            return fdb_oGetLinkJ(handle, object, static_cast<int>(i), item);
        }
    }
    return fdbcode::NotFound;
}

} // namespace store
