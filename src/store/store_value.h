// StoreValue: the tagged value that value items of the item store hold. A value is empty,
// a boolean, a signed or unsigned integer of 8, 16, 32 or 64 bits, or text (UTF-8 bytes).
// Readers convert whatever kind they find into the type they need; the conversions never
// fail (a text that is not a number reads as 0, see below), so a value of an unexpected
// kind in a settings file cannot stop the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace store {

class StoreValue {
public:
    // The order is the tag written to store files: never reorder.
    enum class Kind : uint8_t { Empty, Bool, Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64, Text };

    StoreValue() = default;
    static StoreValue fromBool(bool value);
    static StoreValue fromInt8(int8_t value);
    static StoreValue fromUInt8(uint8_t value);
    static StoreValue fromInt16(int16_t value);
    static StoreValue fromUInt16(uint16_t value);
    static StoreValue fromInt32(int32_t value);
    static StoreValue fromUInt32(uint32_t value);
    static StoreValue fromInt64(int64_t value);
    static StoreValue fromUInt64(uint64_t value);
    static StoreValue fromText(std::string value);

    Kind kind() const { return static_cast<Kind>(m_data.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isInteger() const;

    // Empty reads as "", booleans as "true"/"false", integers in decimal.
    std::string toText() const;
    // Empty reads as false; integers are true when not 0; text is true for "true" (any case)
    // and for a decimal number other than 0, false otherwise.
    bool toBool() const;
    // Empty reads as 0; booleans as 1/0; an unsigned 64-bit value above the signed range
    // wraps; text is read as a decimal number with optional blanks and sign around it, and
    // any other text (or one out of range) reads as 0.
    int64_t toInt64() const;
    // toInt64() cut to 32 bits (two's complement), for the callers that keep an int.
    int32_t toInt32() const { return static_cast<int32_t>(toInt64()); }

    friend bool operator==(const StoreValue&, const StoreValue&) = default;

    // The raw alternatives, in Kind order; the store file codec reads and writes them.
    using Data = std::variant<std::monostate, bool, int8_t, uint8_t, int16_t, uint16_t, int32_t, uint32_t,
                              int64_t, uint64_t, std::string>;
    const Data& data() const { return m_data; }
    explicit StoreValue(Data data) : m_data(std::move(data)) {}

private:
    Data m_data;
};

// The lower-case name of a kind ("empty", "bool", "int8", ..., "text"), as the dump shows it.
std::string_view kindName(StoreValue::Kind kind);

} // namespace store
