// The store loader on any bytes: a file either loads as a whole or is refused, and what loads
// can be saved and loaded again to the same bytes, walked and emptied down to its root.
//
// Inputs whose first byte is odd are sealed first (header and checksum made for the rest), so
// the fuzzer reaches the item checks instead of stopping at the checksum.
#include "store/item_store.h"
#include "store/store_file.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string file =
        (data[0] & 1) ? store::sealStorePayload(input.substr(1)) : std::string(input.substr(1));
    store::FdbStore loaded;
    if (store::decodeStore(file, loaded) > 0) {
        return 0;
    }
    const std::string saved = store::encodeStore(loaded);
    store::FdbStore again;
    check(store::decodeStore(saved, again) == store::fdbcode::Ok);
    check(store::encodeStore(again) == saved);

    store::TfdbHandle handle;
    handle.store = std::make_unique<store::FdbStore>(std::move(loaded));
    int item = 0;
    store::fdb_d2GetR(handle, "Source1", item, 1, store::fdbPathKind);
    store::StoreValue value;
    store::fdbq_dsReadV(handle, "cb2", store::StoreValue::fromBool(true), 1, store::fdbPathKind, value);
    for (int n = static_cast<int>(handle.store->items.size()) - 1; n > 1; --n) {
        int field = 0;
        store::fdb_oGetLinkN(handle, n, "size", field);
        store::fdb_DeleteEx(handle, n, store::fdbDeleteAll);
    }
    store::fdb_tlRemoveNulls(handle, 1);
    check(store::fdb_tlCount(handle, 1) == 0);
    return 0;
}
