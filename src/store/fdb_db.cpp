// Store calls: start, default content, load, save, destroy; messages and module text.
#include "store/item_store.h"
#include "store/store_file.h"

#include "platform/files.h"

#include <deque>
#include <mutex>

namespace store {
namespace {

constexpr size_t keptMessages = 100;

std::mutex messageLock;
std::deque<std::string>& messageLog() {
    static std::deque<std::string> log;
    return log;
}

void makeDefault(FdbStore& store) {
    store = FdbStore{};
    store.create(1, fdbkind::Directory);
}

} // namespace

TfdbHandle::TfdbHandle() = default;
TfdbHandle::~TfdbHandle() = default;
TfdbHandle::TfdbHandle(TfdbHandle&&) noexcept = default;
TfdbHandle& TfdbHandle::operator=(TfdbHandle&&) noexcept = default;

int fdb_dbStart(TfdbHandle& handle) {
    handle.store = std::make_unique<FdbStore>();
    return fdbcode::Ok;
}

int fdb_dbCreateDefault(TfdbHandle& handle, int mode) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    if (mode != 0) {
        return fdbcode::BadArgument;
    }
    makeDefault(*handle.store);
    return fdbcode::Ok;
}

int fdb_dbLoad(TfdbHandle& handle, const std::string& path, int mode) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    if (mode != 1) {
        return fdbcode::BadArgument;
    }
    std::string content;
    int code = platform::readWholeFile(path, content, maxStoreFileBytes) ? decodeStore(content, *handle.store)
                                                                         : fdbcode::FileUnreadable;
    if (code > 0) {
        makeDefault(*handle.store);
    }
    return code;
}

int fdb_dbSave(TfdbHandle& handle, const std::string& path, int mode) {
    if (!handle.store) {
        return fdbcode::NoStore;
    }
    if (mode != 0) {
        return fdbcode::BadArgument;
    }
    return platform::writeFileAtomically(path, encodeStore(*handle.store)) ? fdbcode::Ok
                                                                           : fdbcode::FileUnwritable;
}

int fdb_dbDestroy(TfdbHandle& handle) {
    handle.store.reset();
    return fdbcode::Ok;
}

int IVmsgE(TfdbHandle& handle, const std::string& context, int code, int /*level*/) {
    std::string text = "Error " + std::to_string(code) + " in " + context + ": " + fdbCodeText(code);
    if (handle.messageRoutine) {
        handle.messageRoutine(text);
    } else {
        defaultIV(text);
    }
    return fdbcode::Ok;
}

void fdb_GetModuleInfo(std::string& text) {
    text = "Tunewagon item store 1.0, file format " + std::to_string(storeFileVersion);
}

void defaultIV(const std::string& text) {
    std::lock_guard<std::mutex> guard(messageLock);
    auto& log = messageLog();
    log.push_back(text);
    if (log.size() > keptMessages) {
        log.pop_front();
    }
}

std::vector<std::string> recentStoreMessages() {
    std::lock_guard<std::mutex> guard(messageLock);
    return {messageLog().begin(), messageLog().end()};
}

std::string fdbCodeText(int code) {
    switch (code) {
    case fdbcode::NoStore:
        return "the store is not started";
    case fdbcode::NoSuchItem:
        return "no such item";
    case fdbcode::WrongKind:
        return "the item is of another kind";
    case fdbcode::BadPosition:
        return "position out of range";
    case fdbcode::NotFound:
        return "not found";
    case fdbcode::BadArgument:
        return "invalid argument";
    case fdbcode::NameTaken:
        return "the name is taken";
    case fdbcode::ItemInUse:
        return "the item number is in use";
    case fdbcode::StoreFull:
        return "the store is full";
    case fdbcode::FileUnreadable:
        return "the file cannot be read";
    case fdbcode::FileCorrupt:
        return "the file is damaged or not a store file";
    case fdbcode::FileUnwritable:
        return "the file cannot be written";
    default:
        return code <= 0 ? "success" : "unknown error";
    }
}

} // namespace store
