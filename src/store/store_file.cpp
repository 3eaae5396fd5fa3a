#include "store/store_file.h"

#include "platform/name_case.h"

#include <array>
#include <cstring>
#include <type_traits>

namespace store {
namespace {

constexpr char magic[8] = {'T', 'W', 'F', 'D', 'B', '\r', '\n', '\x1A'};

// Bytes each record needs at least, so a count can be checked against what remains.
constexpr size_t minItemBytes = 3;
constexpr size_t minFieldBytes = 17;
constexpr size_t linkBytes = 4;

template <typename T> void put(std::string& out, T value) {
    auto bits = static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value));
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<char>(bits & 0xFF));
        bits >>= 8;
    }
}

void putName(std::string& out, const std::string& name) {
    size_t length = std::min(name.size(), static_cast<size_t>(fdbMaxNameLength));
    put<uint8_t>(out, static_cast<uint8_t>(length));
    out.append(name, 0, length);
}

void putValue(std::string& out, const StoreValue& value) {
    put<uint8_t>(out, static_cast<uint8_t>(value.kind()));
    std::visit(
        [&out](const auto& data) {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, std::string>) {
                put<uint32_t>(out, static_cast<uint32_t>(data.size()));
                out += data;
            } else if constexpr (std::is_same_v<T, bool>) {
                put<uint8_t>(out, data ? 1 : 0);
            } else if constexpr (!std::is_same_v<T, std::monostate>) {
                put<T>(out, data);
            }
        },
        value.data());
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_bytes.size(); }
    size_t remaining() const { return m_bytes.size() - m_pos; }
    void fail() { m_ok = false; }

    template <typename T> T get() {
        if (!take(sizeof(T))) {
            return T{};
        }
        uint64_t bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            bits |= uint64_t{static_cast<unsigned char>(m_bytes[m_pos - sizeof(T) + i])} << 8 * i;
        }
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(bits));
    }
    std::string bytes(size_t count) {
        if (!take(count)) {
            return {};
        }
        return std::string(m_bytes.substr(m_pos - count, count));
    }
    // A count of records of at least `recordBytes` each, refused when the rest cannot hold them.
    size_t count(size_t recordBytes) {
        auto value = get<uint32_t>();
        if (value > remaining() / recordBytes) {
            fail();
            return 0;
        }
        return value;
    }

private:
    bool take(size_t count) {
        if (!m_ok || count > remaining()) {
            m_ok = false;
            return false;
        }
        m_pos += count;
        return true;
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

template <typename T> StoreValue::Data readInteger(Reader& in) {
    return StoreValue::Data(std::in_place_type<T>, in.get<T>());
}

StoreValue::Data readValueData(Reader& in) {
    using Kind = StoreValue::Kind;
    switch (static_cast<Kind>(in.get<uint8_t>())) {
    case Kind::Empty:
        return {};
    case Kind::Bool: {
        auto byte = in.get<uint8_t>();
        if (byte > 1) {
            in.fail();
        }
        return StoreValue::Data(std::in_place_type<bool>, byte == 1);
    }
    case Kind::Int8:
        return readInteger<int8_t>(in);
    case Kind::UInt8:
        return readInteger<uint8_t>(in);
    case Kind::Int16:
        return readInteger<int16_t>(in);
    case Kind::UInt16:
        return readInteger<uint16_t>(in);
    case Kind::Int32:
        return readInteger<int32_t>(in);
    case Kind::UInt32:
        return readInteger<uint32_t>(in);
    case Kind::Int64:
        return readInteger<int64_t>(in);
    case Kind::UInt64:
        return readInteger<uint64_t>(in);
    case Kind::Text:
        return StoreValue::Data(std::in_place_type<std::string>, in.bytes(in.count(1)));
    }
    in.fail();
    return {};
}

void readLinks(Reader& in, uint32_t itemCount, std::vector<Link>& links) {
    size_t count = in.count(linkBytes);
    links.reserve(count);
    for (size_t i = 0; i < count && in.ok(); ++i) {
        auto number = in.get<uint32_t>();
        if (number > itemCount) {
            in.fail();
        }
        links.push_back({static_cast<int32_t>(number), 0});
    }
}

void readFields(Reader& in, std::vector<MaskField>& fields);

void readItem(Reader& in, uint32_t itemCount, Item& item) {
    int kind = in.get<uint8_t>();
    std::string name = in.bytes(in.get<uint8_t>());
    bool known = kind == fdbkind::Directory || kind == fdbkind::LinkList || kind == fdbkind::ObjectMask ||
                 kind == fdbkind::Object || isDataKind(kind);
    if (!known || !in.ok()) {
        in.fail();
        return;
    }
    item.kind = static_cast<uint8_t>(kind);
    if (isDataKind(kind)) {
        item.value = StoreValue(readValueData(in));
        if (name.empty()) {
            return;
        }
    }
    item.body = std::make_unique<ItemBody>();
    item.body->name = std::move(name);
    if (kind == fdbkind::Object) {
        auto mask = in.get<uint32_t>();
        if (mask > itemCount) {
            in.fail();
        }
        item.body->mask = {static_cast<int32_t>(mask), 0};
    }
    if (kind == fdbkind::ObjectMask) {
        readFields(in, item.body->fields);
    } else if (!isDataKind(kind)) {
        readLinks(in, itemCount, item.body->links);
    }
    if (kind == fdbkind::Directory) {
        item.body->index = std::make_unique<NameIndex>();
        item.body->index->stale = true;
    }
}

void readFields(Reader& in, std::vector<MaskField>& fields) {
    size_t count = in.count(minFieldBytes);
    fields.reserve(count);
    for (size_t i = 0; i < count && in.ok(); ++i) {
        MaskField field;
        field.name = in.bytes(in.get<uint8_t>());
        field.foldedName = platform::foldNameCase(field.name);
        field.type = in.get<int32_t>();
        field.i2 = in.get<int32_t>();
        field.i3 = in.get<int32_t>();
        field.i4 = in.get<int32_t>();
        if (field.name.empty() || !isFieldType(field.type)) {
            in.fail();
        }
        fields.push_back(std::move(field));
    }
}

// What the byte checks cannot see: the root is a directory, an object's mask is a mask.
bool itemsAgree(const FdbStore& store) {
    if (store.items.size() < 2 || store.items[1].kind != fdbkind::Directory) {
        return false;
    }
    for (const Item& item : store.items) {
        if (item.kind == fdbkind::Object && item.body->mask.number != 0 &&
            store.items[item.body->mask.number].kind != fdbkind::ObjectMask) {
            return false;
        }
    }
    return true;
}

// The items form a tree below the root, as deleting relies on (an item deletes all it holds):
// no item is held from two places, nothing holds the root, and no chain of holders runs in a
// circle. An item that nothing holds is allowed; it only takes room.
bool itemsFormATree(const FdbStore& store) {
    std::vector<uint32_t> owner(store.items.size(), 0);
    for (size_t n = 1; n < store.items.size(); ++n) {
        const Item& item = store.items[n];
        if (isDataKind(item.kind) || item.kind == fdbkind::ObjectMask) {
            continue;
        }
        for (Link link : item.body->links) {
            if (link.number == 0) {
                continue;
            }
            if (link.number == 1 || owner[link.number] != 0) {
                return false;
            }
            owner[link.number] = static_cast<uint32_t>(n);
        }
    }
    // Each item has one holder at most, so the holders form chains; a chain that meets an
    // item of its own walk again is a circle.
    enum : uint8_t { Unseen, OnWalk, Done };
    std::vector<uint8_t> state(store.items.size(), Unseen);
    for (size_t start = 1; start < store.items.size(); ++start) {
        size_t n = start;
        while (n != 0 && state[n] == Unseen) {
            state[n] = OnWalk;
            n = owner[n];
        }
        if (n != 0 && state[n] == OnWalk) {
            return false;
        }
        for (n = start; n != 0 && state[n] == OnWalk; n = owner[n]) {
            state[n] = Done;
        }
    }
    return true;
}

bool headerAgrees(std::string_view bytes) {
    if (bytes.size() < storeFileHeaderSize || std::memcmp(bytes.data(), magic, sizeof magic) != 0) {
        return false;
    }
    Reader header(bytes.substr(sizeof magic, storeFileHeaderSize - sizeof magic));
    auto version = header.get<uint32_t>();
    auto payloadLength = header.get<uint64_t>();
    auto checksum = header.get<uint32_t>();
    std::string_view payload = bytes.substr(storeFileHeaderSize);
    return version == storeFileVersion && payloadLength == payload.size() && checksum == crc32(payload);
}

} // namespace

uint32_t crc32(std::string_view bytes) {
    // Eight tables, so that eight bytes take one step (the tags cache and the stores are read
    // whole at every start; a byte a step made a 1 MB file take a millisecond and a half).
    static const auto tables = [] {
        std::array<std::array<uint32_t, 256>, 8> made{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int bit = 0; bit < 8; ++bit) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            made[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i) {
            for (size_t k = 1; k < 8; ++k) {
                made[k][i] = made[0][made[k - 1][i] & 0xFF] ^ (made[k - 1][i] >> 8);
            }
        }
        return made;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t left = bytes.size();
    for (; left >= 8; left -= 8, at += 8) {
        const uint32_t low =
            crc ^ (uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][at[4]] ^ tables[2][at[5]] ^ tables[1][at[6]] ^
              tables[0][at[7]];
    }
    for (; left > 0; --left, ++at) {
        crc = tables[0][(crc ^ *at) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::string sealStorePayload(std::string_view payload) {
    std::string file(magic, sizeof magic);
    put<uint32_t>(file, storeFileVersion);
    put<uint64_t>(file, payload.size());
    put<uint32_t>(file, crc32(payload));
    file += payload;
    return file;
}

std::string encodeStore(const FdbStore& store) {
    std::vector<uint32_t> fileNumber(store.items.size(), 0);
    uint32_t count = 0;
    for (size_t n = 1; n < store.items.size(); ++n) {
        if (store.items[n].kind != fdbkind::Free) {
            fileNumber[n] = ++count;
        }
    }
    auto numberOf = [&](Link link) { return store.isLive(link) ? fileNumber[link.number] : 0u; };
    std::string payload;
    put<uint32_t>(payload, count);
    for (size_t n = 1; n < store.items.size(); ++n) {
        const Item& item = store.items[n];
        if (item.kind == fdbkind::Free) {
            continue;
        }
        put<uint8_t>(payload, item.kind);
        putName(payload, itemName(item));
        if (isDataKind(item.kind)) {
            putValue(payload, item.value);
            continue;
        }
        if (item.kind == fdbkind::Object) {
            put<uint32_t>(payload, numberOf(item.body->mask));
        }
        if (item.kind == fdbkind::ObjectMask) {
            put<uint32_t>(payload, static_cast<uint32_t>(item.body->fields.size()));
            for (const MaskField& field : item.body->fields) {
                putName(payload, field.name);
                put<int32_t>(payload, field.type);
                put<int32_t>(payload, field.i2);
                put<int32_t>(payload, field.i3);
                put<int32_t>(payload, field.i4);
            }
            continue;
        }
        put<uint32_t>(payload, static_cast<uint32_t>(item.body->links.size()));
        for (Link link : item.body->links) {
            put<uint32_t>(payload, numberOf(link));
        }
    }
    return sealStorePayload(payload);
}

int decodeStore(std::string_view bytes, FdbStore& out) {
    if (!headerAgrees(bytes)) {
        return fdbcode::FileCorrupt;
    }
    Reader in(bytes.substr(storeFileHeaderSize));
    size_t count = in.count(minItemBytes);
    if (!in.ok() || count >= static_cast<size_t>(maxItemCount)) {
        return fdbcode::FileCorrupt;
    }
    FdbStore loaded;
    loaded.items.resize(count + 1);
    for (size_t n = 1; n <= count && in.ok(); ++n) {
        readItem(in, static_cast<uint32_t>(count), loaded.items[n]);
    }
    if (!in.ok() || !in.atEnd() || !itemsAgree(loaded) || !itemsFormATree(loaded)) {
        return fdbcode::FileCorrupt;
    }
    out = std::move(loaded);
    return fdbcode::Ok;
}

} // namespace store
