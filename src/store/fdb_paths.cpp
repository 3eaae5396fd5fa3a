// Path calls of the store: "/"-separated names from a directory, and values kept at paths.
#include "store/item_store.h"

namespace store {
namespace {

std::vector<std::string> pathNames(const std::string& path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            names.push_back(cutName(path.substr(start, end - start)));
        }
        start = end + 1;
    }
    return names;
}

// Links a new item of `kind` named `name` into directory `parent`; 0 when the store is full.
int addNamedItem(FdbStore& store, int parent, const std::string& name, int kind) {
    int number = store.allocate(kind);
    if (number == 0) {
        return 0;
    }
    Item& item = store.items[number];
    if (!item.body) {
        item.body = std::make_unique<ItemBody>();
    }
    item.body->name = name;
    Item& directory = store.items[parent];
    Link link = store.linkTo(number);
    directory.body->links.push_back(link);
    indexAddedLink(store, directory, link);
    return number;
}

// The directory `name` in directory `parent`, made when missing. AlreadyThere when it existed.
int childDirectory(FdbStore& store, int parent, const std::string& name, int& directory) {
    Item* parentItem = store.liveOfKind(parent, fdbkind::Directory);
    if (!parentItem) {
        return store.isLive(parent) ? fdbcode::WrongKind : fdbcode::NoSuchItem;
    }
    if (name.empty() || name.find('/') != std::string::npos) {
        return fdbcode::BadArgument;
    }
    int existing = findNamedLink(store, *parentItem, name);
    if (existing != 0) {
        if (store.items[existing].kind != fdbkind::Directory) {
            return fdbcode::NameTaken;
        }
        directory = existing;
        return fdbcode::AlreadyThere;
    }
    int made = addNamedItem(store, parent, name, fdbkind::Directory);
    if (made == 0) {
        return fdbcode::StoreFull;
    }
    directory = made;
    return fdbcode::Ok;
}

int forceDirectories(FdbStore& store, const std::vector<std::string>& names, size_t count, int root,
                     int& item) {
    int current = root;
    if (!store.liveOfKind(root, fdbkind::Directory)) {
        return store.isLive(root) ? fdbcode::WrongKind : fdbcode::NoSuchItem;
    }
    for (size_t i = 0; i < count; ++i) {
        int code = childDirectory(store, current, names[i], current);
        if (code > 0) {
            return code;
        }
    }
    item = current;
    return fdbcode::Ok;
}

// Bool, the integers and text are three families; a stored value read with a default of
// another family was written by something else than the reader (a damaged or foreign file).
int valueFamily(const StoreValue& value) {
    using Kind = StoreValue::Kind;
    switch (value.kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Bool:
        return 1;
    case Kind::Text:
        return 3;
    default:
        return 2;
    }
}

int checkPathCall(const TfdbHandle& handle, int pathKind) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    return pathKind == fdbPathKind ? fdbcode::Ok : fdbcode::BadArgument;
}

} // namespace

int fdb_d2GetR(TfdbHandle& handle, const std::string& path, int& item, int root, int pathKind) {
    item = 0;
    if (int code = checkPathCall(handle, pathKind); code > 0) {
        return code;
    }
    FdbStore& store = *handle.store;
    if (!store.liveOfKind(root, fdbkind::Directory)) {
        return store.isLive(root) ? fdbcode::WrongKind : fdbcode::NoSuchItem;
    }
    int current = root;
    for (const std::string& name : pathNames(path)) {
        Item* directory = store.liveOfKind(current, fdbkind::Directory);
        current = directory ? findNamedLink(store, *directory, name) : 0;
        if (current == 0) {
            return fdbcode::NotFound;
        }
    }
    item = current;
    return fdbcode::Ok;
}

int fdb_dsCreateDir(TfdbHandle& handle, int parent, const std::string& name, int& item, int pathKind) {
    if (int code = checkPathCall(handle, pathKind); code > 0) {
        return code;
    }
    return childDirectory(*handle.store, parent, cutName(name), item);
}

int fdb_dsForceCreateDir(TfdbHandle& handle, const std::string& path, int& item, int root, int pathKind) {
    if (int code = checkPathCall(handle, pathKind); code > 0) {
        return code;
    }
    std::vector<std::string> names = pathNames(path);
    return forceDirectories(*handle.store, names, names.size(), root, item);
}

int fdbq_dsReadV(TfdbHandle& handle, const std::string& path, const StoreValue& def, int root, int pathKind,
                 StoreValue& value) {
    int item = 0;
    int code = fdb_d2GetR(handle, path, item, root, pathKind);
    if (code <= 0) {
        Item& found = handle.store->items[item];
        const bool otherFamily = !def.isEmpty() && valueFamily(found.value) != valueFamily(def);
        code = !isDataKind(found.kind) || otherFamily ? fdbcode::WrongKind
               : found.value.isEmpty()                ? fdbcode::NotFound
                                                      : code;
    }
    value = code <= 0 ? handle.store->items[item].value : def;
    return code;
}

int fdb_dsWriteV(TfdbHandle& handle, const std::string& path, const StoreValue& value, int root,
                 int pathKind) {
    if (int code = checkPathCall(handle, pathKind); code > 0) {
        return code;
    }
    FdbStore& store = *handle.store;
    std::vector<std::string> names = pathNames(path);
    if (names.empty()) {
        return fdbcode::BadArgument;
    }
    int parent = 0;
    if (int code = forceDirectories(store, names, names.size() - 1, root, parent); code > 0) {
        return code;
    }
    int item = findNamedLink(store, store.items[parent], names.back());
    if (item == 0) {
        item = addNamedItem(store, parent, names.back(), fdbkind::Value);
        if (item == 0) {
            return fdbcode::StoreFull;
        }
    } else if (!isDataKind(store.items[item].kind)) {
        return fdbcode::NameTaken;
    }
    store.items[item].value = value;
    return fdbcode::Ok;
}

} // namespace store
