// The item store: in-memory databases of numbered items that can be saved to a file and
// loaded back. This is the C-style call layer; object_model.h wraps it for the program.
//
// Items are positive numbers; item 1 is the root directory; number 0 is "no item" (an
// emptied link reads as 0). Every call but the last two takes the store handle first.
// A returned code of 0 or less means success; the positive codes are listed in `fdbcode`.
// Kinds of items (`fdbkind`): directories (a name and a link list, whose named links are
// found by name without regard to letter case), link lists, object masks (a name and field
// definitions), objects (one field item per mask field), text items and value items (both
// hold a StoreValue). Names have at most 255 bytes; longer names are cut to 255.
//
// Ownership: an item holds what its links and fields point to. Deleting it with mode 19
// deletes all it holds, transitively (the root excepted), and every link elsewhere that
// pointed to a deleted item reads as empty from then on. Free numbers are handed out again.
//
// Files: fdb_dbLoad reads a whole store file (store_file.h) and replaces the content of
// the store; any missing, unreadable, truncated, corrupt or hostile file leaves an empty
// store (only the root) and answers a positive code. fdb_dbSave writes atomically.
#pragma once

#include "store/store_value.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace store {

namespace fdbcode {
inline constexpr int Ok = 0;
inline constexpr int AlreadyThere = -1; // success: the directory existed and is handed back
inline constexpr int NoStore = 1;       // the handle holds no started store
inline constexpr int NoSuchItem = 2;    // the number names no live item
inline constexpr int WrongKind = 3;     // the item is not of the kind the call needs
inline constexpr int BadPosition = 4;   // a link or field position out of range
inline constexpr int NotFound = 5;      // a path, name or field name that names nothing
inline constexpr int BadArgument = 6;   // an unknown mode, kind or path kind; an unusable name
inline constexpr int NameTaken = 7;     // the name is taken by an item of another kind
inline constexpr int ItemInUse = 8;     // the number is not free
inline constexpr int StoreFull = 9;     // no more item numbers
inline constexpr int FileUnreadable = 10;
inline constexpr int FileCorrupt = 11;
inline constexpr int FileUnwritable = 12;
} // namespace fdbcode

// Item kinds as fdb_New, fdb_omAddItem (field type codes) and the file use them.
namespace fdbkind {
inline constexpr int Free = 0;
inline constexpr int Directory = 1;
inline constexpr int LinkList = 2;
inline constexpr int ObjectMask = 3;
inline constexpr int Text = 4;
inline constexpr int Object = 5;
inline constexpr int Value = 6;     // a value item (the track list's Len)
inline constexpr int WideValue = 7; // a value item meant for 64-bit numbers (Size); same behaviour
} // namespace fdbkind

inline constexpr int fdbDeleteAll = 19; // fdb_DeleteEx mode: the item and all it holds
inline constexpr int fdbPathKind = 4;   // path calls: "/"-separated names
inline constexpr int fdbMaxNameLength = 255;

using MessageRoutine = std::function<void(const std::string&)>;

struct FdbStore; // the store's content, item_store.h

// The store handle: a fixed-size record that the store object embeds. fdb_dbStart fills it,
// fdb_dbDestroy (or the handle's destruction) frees what it holds.
struct TfdbHandle {
    std::unique_ptr<FdbStore> store;
    MessageRoutine messageRoutine; // where IVmsgE reports; defaultIV when empty

    TfdbHandle();
    ~TfdbHandle();
    TfdbHandle(TfdbHandle&&) noexcept;
    TfdbHandle& operator=(TfdbHandle&&) noexcept;
};

int fdb_dbStart(TfdbHandle& handle);                                   // a new store without items
int fdb_dbCreateDefault(TfdbHandle& handle, int mode);                 // empty except the root; mode 0
int fdb_dbLoad(TfdbHandle& handle, const std::string& path, int mode); // mode 1: replace all
int fdb_dbSave(TfdbHandle& handle, const std::string& path, int mode); // mode 0: whole store
int fdb_dbDestroy(TfdbHandle& handle);

int fdb_GetFirstFree(TfdbHandle& handle); // a free number (not reserved), 0 when full
int fdb_New(TfdbHandle& handle, int number, int kind);
int fdb_DeleteEx(TfdbHandle& handle, int item, int mode);

int fdb_tlNew(TfdbHandle& handle, int item, int mode); // mode 2; a directory keeps its name
int fdb_tlAdd(TfdbHandle& handle, int list, int item);
int fdb_tlCount(TfdbHandle& handle, int list);                // 0 for anything but a list
int fdb_tlGet(TfdbHandle& handle, int list, int position);    // 0 for an empty link or none
int fdb_tlDelete(TfdbHandle& handle, int list, int position); // empties it, no shift
int fdb_tlRemoveNulls(TfdbHandle& handle, int list);          // drops empty links, keeps order

// Text and value items both hold a StoreValue: fdb_sSet stores text, fdb_sGet reads any value
// as text. The modes of fdb_vSet and fdb_vGet are not used; `item` stays as it is.
int fdb_sSet(TfdbHandle& handle, int item, const std::string& text);
int fdb_sGet(TfdbHandle& handle, int item, std::string& text); // text unchanged on failure
int fdb_vSet(TfdbHandle& handle, int& item, const StoreValue& value, int mode);
int fdb_vGet(TfdbHandle& handle, int item, StoreValue& value, int mode); // unchanged on failure
int fdb_iGet(TfdbHandle& handle, int item); // the value as a signed 16-bit number, 0 if none

int fdb_omCreate(TfdbHandle& handle, int number, const std::string& name, int flag);
int fdb_omAddItem(TfdbHandle& handle, int mask, const std::string& name, int type, int i2, int i3, int i4);
int fdb_oCreate(TfdbHandle& handle, int number, int mask, int flag);
int fdb_oGetLinkJ(TfdbHandle& handle, int object, int position, int& item);
int fdb_oGetLinkN(TfdbHandle& handle, int object, const std::string& name, int& item);

// Path calls: "/"-separated names from directory `root`; empty segments (a leading,
// doubled or trailing "/") are skipped, so "" names `root` itself. Only directories are
// passed through. `item` is left as it was when a call fails, except fdb_d2GetR, which
// sets it to 0.
int fdb_d2GetR(TfdbHandle& handle, const std::string& path, int& item, int root, int pathKind);
int fdb_dsCreateDir(TfdbHandle& handle, int parent, const std::string& name, int& item, int pathKind);
int fdb_dsForceCreateDir(TfdbHandle& handle, const std::string& path, int& item, int root, int pathKind);
// `value` receives the value stored at `path`, or `def` with a positive code when nothing is:
// a missing path, an item that holds no value (a directory), an empty value, or (WrongKind) a
// value of another family than a non-empty `def` (bool, integers of any width, text).
int fdbq_dsReadV(TfdbHandle& handle, const std::string& path, const StoreValue& def, int root, int pathKind,
                 StoreValue& value);
// Creates the value item (and missing parent directories) or replaces its value.
int fdb_dsWriteV(TfdbHandle& handle, const std::string& path, const StoreValue& value, int root,
                 int pathKind);

// Hands "Error <code> in <context>: <what>" to the handle's message routine.
int IVmsgE(TfdbHandle& handle, const std::string& context, int code, int level);

void fdb_GetModuleInfo(std::string& text);
// The library's own message routine: keeps the last messages in memory.
void defaultIV(const std::string& text);

// The messages defaultIV has kept, oldest first (at most the last 100).
std::vector<std::string> recentStoreMessages();
// The words for a code, as IVmsgE and the dump tool print them.
std::string fdbCodeText(int code);

} // namespace store
