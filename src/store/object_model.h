// The store object model: the program's way into an item store (fdb.h).
//
//   TfdbObject  one store: owns the handle, the path services (DSystem), the string-list
//               utility (Utils) and three shared references (ItemSlot, FieldSlot, LinkSlot)
//   TfdbItem    a reference to one item by number (Index; -1 = no item), with five views
//               that always act on the reference's current Index: AsString (text items),
//               AsTLinks (link lists), AsObject (objects made from a mask), AsSRef and
//               AsObjectMask (no operations)
//   TDSystem    "/"-separated paths from the root (item 1)
//   TUtils      string lists (std::vector<std::string>) kept as a directory of text items
//
// Shared references: Item() re-aims ItemSlot, Field()/FieldByName() re-aim FieldSlot and
// Link() re-aims LinkSlot, so a reference they return stays valid only until the next call
// of the same kind on the same store (the TUtils operations call Item() too). A caller that
// must keep a reference across such calls takes a caller-owned one from NewItemRef, LinkRef,
// FieldRef or ItemByPath. No reference may be used after its store is destroyed.
//
// Failures: a failed look-up yields a reference aimed at -1; reading through it leaves the
// caller's variable as it was, writing through it does nothing. Load, Save, CreateObject,
// Resolve, ForceDir, ReadValue, WriteValue, FindField, FindFieldByName and GetStr return the
// library's code (0 or less = success); SaveListToPath returns 255 when its directory cannot
// be made; the rest report nothing. Paths, field names and mask names longer than 255
// characters are cut to their first 255.
//
// Damage: a key written with another kind than the program reads it with reads as absent (the
// default); WriteValue and SaveListToPath then replace the item at the key with one of the
// right kind, so the next save repairs it. Load keeps a file that is there but damaged as
// "<path>.bad" (replacing an older one) before the empty store takes its place, so a save
// afterwards never destroys the only trace of what the user had.
#pragma once

#include "store/fdb.h"
#include "store/store_value.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace store {

class TfdbObject;
class TfdbItem;

inline constexpr const char* DamagedFileSuffix = ".bad";

// One entry of an object mask's field list: a name (text or a single character), an integer
// (a field's type code, then three further integers) or anything else (ignored).
using MaskEntry = std::variant<std::string, char, int, double>;

class TfdbItemAsString {
public:
    explicit TfdbItemAsString(TfdbItem& ref) : m_ref(&ref) {}
    void SetStr(const std::string& text);
    int GetStr(std::string& text); // text unchanged when the code is above 0

private:
    TfdbItem* m_ref;
};

class TfdbItemAsSRef {
public:
    explicit TfdbItemAsSRef(TfdbItem& ref) : m_ref(&ref) {}

private:
    [[maybe_unused]] TfdbItem* m_ref;
};

class TfdbItemAsObjectMask {
public:
    explicit TfdbItemAsObjectMask(TfdbItem& ref) : m_ref(&ref) {}

private:
    [[maybe_unused]] TfdbItem* m_ref;
};

class TfdbItemAsTLinks {
public:
    explicit TfdbItemAsTLinks(TfdbItem& ref) : m_ref(&ref) {}
    int Count();
    int High() { return Count() - 1; } // -1 for an empty list
    void Add(int number);
    void Delete(int position); // empties the link; the others keep their positions
    // Deletes every linked item (last first) with fdb_DeleteEx(item, mode), then empties the
    // list. Returns 0.
    int Clear(int mode);
    TfdbItem& Link(int position);
    std::unique_ptr<TfdbItem> LinkRef(int position);

private:
    TfdbItem* m_ref;
};

class TfdbItemAsObject {
public:
    explicit TfdbItemAsObject(TfdbItem& ref) : m_ref(&ref) {}
    int FindField(int position, int& number);
    int FieldIndex(int position); // -1 when there is no such field
    TfdbItem& Field(int position);
    int FindFieldByName(const std::string& name, int& number);
    std::unique_ptr<TfdbItem> FieldRef(const std::string& name);
    TfdbItem& FieldByName(const std::string& name);

private:
    TfdbItem* m_ref;
};

class TfdbItem {
public:
    explicit TfdbItem(TfdbObject& owner, int index = -1);
    TfdbItem(const TfdbItem&) = delete; // the views point back at this reference
    TfdbItem& operator=(const TfdbItem&) = delete;

    void SetValue(const StoreValue& value); // only when Index > 0
    void GetValue(StoreValue& value);       // only when Index >= 0; unchanged on failure
    int IntValue();                         // the value as a signed 16-bit number
    void Delete(int mode);
    void AddToList(int list);

    TfdbObject& Owner;
    TfdbItemAsString AsString{*this};
    TfdbItemAsSRef AsSRef{*this};
    TfdbItemAsTLinks AsTLinks{*this};
    TfdbItemAsObjectMask AsObjectMask{*this};
    TfdbItemAsObject AsObject{*this};
    int Index;
};

class TDSystem {
public:
    explicit TDSystem(TfdbObject& owner) : Owner(owner) {}

    // 0 or less when found; `number` is then the item, and the root when the look-up gave
    // 0 or less (so "" resolves to the root).
    int Resolve(const std::string& path, int& number);
    std::unique_ptr<TfdbItem> ItemByPath(const std::string& path);
    // Makes directory `name` in the directory at `parentPath` ("" = the root); nothing when
    // the parent is not found. LastDirIndex receives the directory.
    void CreateDir(const std::string& parentPath, const std::string& name);
    int ForceDir(const std::string& path);
    int ReadValue(const std::string& path, const StoreValue& def, StoreValue& value);
    int WriteValue(const std::string& path, const StoreValue& value);
    // Deletes the item at `path` with all it holds (never the root); false when none is there.
    bool deleteItemAt(const std::string& path);

    TfdbObject& Owner;
    const int RootIndex = 1;
    const int PathKind = fdbPathKind;
    int LastDirIndex = 0;
};

class TUtils {
public:
    explicit TUtils(TfdbObject& owner) : Owner(owner) {}

    int LoadList(int list, std::vector<std::string>& strings);
    int SaveList(int list, const std::vector<std::string>& strings);
    int LoadListFromPath(const std::string& path, std::vector<std::string>& strings);
    int SaveListToPath(const std::string& path, const std::vector<std::string>& strings);

    TfdbObject& Owner;
};

class TfdbObject {
public:
    // The message routine may be empty: the library's defaultIV is used then.
    explicit TfdbObject(MessageRoutine logProc = nullptr);
    ~TfdbObject();
    TfdbObject(const TfdbObject&) = delete; // references point at their store
    TfdbObject& operator=(const TfdbObject&) = delete;

    int Load(const std::string& path, int mode); // mode 1; a damaged file is kept as path + ".bad"
    int Save(const std::string& path, int mode); // mode 0
    TfdbItem& Item(int number);
    std::unique_ptr<TfdbItem> NewItemRef(int number);
    int AllocItem(int kind);
    int CreateObject(int mask, int& number, int flag);
    // A new mask named `name` with the fields listed in `fields` (a name, then up to four
    // integers: type code, default 4, and three more, default 0); returns its number.
    int CreateObjectMask(const std::string& name, const std::vector<MaskEntry>& fields, int flag);
    void Log(const std::string& text);
    void ModuleInfo(std::string& text);

    TfdbHandle Handle; // first, so that it goes last
    MessageRoutine LogProc;
    TDSystem DSystem{*this};
    TUtils Utils{*this};
    TfdbItem ItemSlot{*this, 0};
    TfdbItem FieldSlot{*this, 0};
    TfdbItem LinkSlot{*this, 0};
};

// Cuts a path or name to the 255 characters the store keeps.
std::string cutTo255(const std::string& text);

} // namespace store
