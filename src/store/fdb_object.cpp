// The store object, its path services and its string-list utility.
#include "store/object_model.h"

#include "platform/files.h"
#include "store/store_file.h"

namespace store {
namespace {

// A mask field gathered from the entry list, written once its entries are complete.
struct PendingField {
    bool open = false;
    std::string name;
    int numbers[4] = {fdbkind::Text, 0, 0, 0};
    int taken = 0;
};

} // namespace

std::string cutTo255(const std::string& text) {
    return text.substr(0, fdbMaxNameLength);
}

TfdbObject::TfdbObject(MessageRoutine logProc)
    : LogProc(logProc ? std::move(logProc) : MessageRoutine(defaultIV)) {
    Handle.messageRoutine = LogProc;
    std::string module;
    ModuleInfo(module);
    Log(module + "\r\nfdbObjectModel v1.37 D4BD\r\n");
    fdb_dbStart(Handle);
    fdb_dbCreateDefault(Handle, 0);
}

TfdbObject::~TfdbObject() {
    fdb_dbDestroy(Handle);
}

int TfdbObject::Load(const std::string& path, int mode) {
    int code = fdb_dbLoad(Handle, path, mode);
    if (code == fdbcode::FileCorrupt) {
        std::string content;
        if (platform::readWholeFile(path, content, maxStoreFileBytes)) {
            platform::writeFileAtomically(path + DamagedFileSuffix, content);
        }
    }
    return code;
}

int TfdbObject::Save(const std::string& path, int mode) {
    return fdb_dbSave(Handle, path, mode);
}

TfdbItem& TfdbObject::Item(int number) {
    ItemSlot.Index = number;
    return ItemSlot;
}

std::unique_ptr<TfdbItem> TfdbObject::NewItemRef(int number) {
    return std::make_unique<TfdbItem>(*this, number);
}

int TfdbObject::AllocItem(int kind) {
    int number = fdb_GetFirstFree(Handle);
    fdb_New(Handle, number, kind);
    return number;
}

int TfdbObject::CreateObject(int mask, int& number, int flag) {
    number = fdb_GetFirstFree(Handle);
    return fdb_oCreate(Handle, number, mask, flag);
}

int TfdbObject::CreateObjectMask(const std::string& name, const std::vector<MaskEntry>& fields, int flag) {
    Log("# TfdbObject.CreateObjectMask() /array of const");
    int mask = fdb_GetFirstFree(Handle);
    fdb_omCreate(Handle, mask, cutTo255(name), flag);
    PendingField pending;
    auto complete = [&] {
        if (!pending.open) {
            return;
        }
        const int* n = pending.numbers;
        int code = fdb_omAddItem(Handle, mask, pending.name, n[0], n[1], n[2], n[3]);
        if (code != 0) {
            IVmsgE(Handle, "../fdb_omAddItem()", code, 2);
        }
        pending = PendingField{};
    };
    for (const MaskEntry& entry : fields) {
        const std::string* text = std::get_if<std::string>(&entry);
        const char* letter = std::get_if<char>(&entry);
        const int* number = std::get_if<int>(&entry);
        if (text || letter) {
            complete();
            pending.open = true;
            pending.name = text ? cutTo255(*text) : std::string(1, *letter);
        } else if (number && pending.open && pending.taken < 4) {
            pending.numbers[pending.taken++] = *number;
        }
    }
    complete();
    return mask;
}

void TfdbObject::Log(const std::string& text) {
    LogProc(text);
}

void TfdbObject::ModuleInfo(std::string& text) {
    fdb_GetModuleInfo(text);
}

int TDSystem::Resolve(const std::string& path, int& number) {
    int code = fdb_d2GetR(Owner.Handle, cutTo255(path), number, RootIndex, PathKind);
    if (number <= 0) {
        number = RootIndex;
    }
    return code;
}

std::unique_ptr<TfdbItem> TDSystem::ItemByPath(const std::string& path) {
    int number = 0;
    int code = Resolve(path, number);
    return Owner.NewItemRef(code > 0 ? -1 : number);
}

void TDSystem::CreateDir(const std::string& parentPath, const std::string& name) {
    int parent = 0;
    if (Resolve(parentPath, parent) <= 0) {
        fdb_dsCreateDir(Owner.Handle, parent, cutTo255(name), LastDirIndex, PathKind);
    }
}

int TDSystem::ForceDir(const std::string& path) {
    return fdb_dsForceCreateDir(Owner.Handle, cutTo255(path), LastDirIndex, RootIndex, PathKind);
}

int TDSystem::ReadValue(const std::string& path, const StoreValue& def, StoreValue& value) {
    return fdbq_dsReadV(Owner.Handle, cutTo255(path), def, RootIndex, PathKind, value);
}

int TDSystem::WriteValue(const std::string& path, const StoreValue& value) {
    int code = fdb_dsWriteV(Owner.Handle, cutTo255(path), value, RootIndex, PathKind);
    if (code == fdbcode::NameTaken && deleteItemAt(path)) {
        code = fdb_dsWriteV(Owner.Handle, cutTo255(path), value, RootIndex, PathKind);
    }
    return code;
}

bool TDSystem::deleteItemAt(const std::string& path) {
    int item = 0;
    if (fdb_d2GetR(Owner.Handle, cutTo255(path), item, RootIndex, PathKind) > 0 || item == RootIndex) {
        return false;
    }
    return fdb_DeleteEx(Owner.Handle, item, fdbDeleteAll) <= 0;
}

int TUtils::LoadList(int list, std::vector<std::string>& strings) {
    strings.clear();
    TfdbItemAsTLinks& links = Owner.Item(list).AsTLinks;
    int count = links.Count();
    for (int position = 0; position < count; ++position) {
        std::string text;
        links.Link(position).AsString.GetStr(text);
        strings.push_back(std::move(text));
    }
    return 0;
}

int TUtils::SaveList(int list, const std::vector<std::string>& strings) {
    Owner.Item(list).AsTLinks.Clear(fdbDeleteAll);
    for (const std::string& text : strings) {
        int number = Owner.AllocItem(fdbkind::Text);
        Owner.Item(number).AsString.SetStr(text);
        Owner.Item(list).AsTLinks.Add(number);
    }
    return 0;
}

int TUtils::LoadListFromPath(const std::string& path, std::vector<std::string>& strings) {
    int list = 0;
    int code = Owner.DSystem.Resolve(path, list);
    if (code > 0) {
        strings.clear();
        return code;
    }
    return LoadList(list, strings);
}

int TUtils::SaveListToPath(const std::string& path, const std::vector<std::string>& strings) {
    int code = Owner.DSystem.ForceDir(path);
    if (code == fdbcode::NameTaken && Owner.DSystem.deleteItemAt(path)) {
        code = Owner.DSystem.ForceDir(path);
    }
    if (code > 0) {
        return 255;
    }
    return SaveList(Owner.DSystem.LastDirIndex, strings);
}

} // namespace store
