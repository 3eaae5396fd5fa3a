#include "store/store_value.h"

#include <gtest/gtest.h>

#include <limits>

using store::StoreValue;

namespace {

struct ConversionCase {
    const char* what;
    StoreValue value;
    std::string text;
    bool boolean;
    int64_t number;
};

// Every kind converts to text, boolean and integer the way the settings and the list read them.
TEST(StoreValueTest, ConvertsEveryKind) {
    const ConversionCase cases[] = {
        {"empty", StoreValue(), "", false, 0},
        {"true", StoreValue::fromBool(true), "true", true, 1},
        {"false", StoreValue::fromBool(false), "false", false, 0},
        {"int8 -1", StoreValue::fromInt8(-1), "-1", true, -1},
        {"uint8 255", StoreValue::fromUInt8(255), "255", true, 255},
        {"int16 min", StoreValue::fromInt16(-32768), "-32768", true, -32768},
        {"uint16 max", StoreValue::fromUInt16(65535), "65535", true, 65535},
        {"int32 0", StoreValue::fromInt32(0), "0", false, 0},
        {"uint32 max", StoreValue::fromUInt32(4294967295u), "4294967295", true, 4294967295},
        {"int64 big", StoreValue::fromInt64(5000000000), "5000000000", true, 5000000000},
        {"uint64 max wraps", StoreValue::fromUInt64(std::numeric_limits<uint64_t>::max()),
         "18446744073709551615", true, -1},
        {"text number", StoreValue::fromText(" -42 "), " -42 ", true, -42},
        {"text plus", StoreValue::fromText("+7"), "+7", true, 7},
        {"text TRUE", StoreValue::fromText("TRUE"), "TRUE", true, 0},
        {"text zero", StoreValue::fromText("0"), "0", false, 0},
        {"text word", StoreValue::fromText("C:\\Music"), "C:\\Music", false, 0},
        {"text half number", StoreValue::fromText("12ab"), "12ab", false, 0},
        {"text out of range", StoreValue::fromText("99999999999999999999"), "99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.toText(), c.text);
        EXPECT_EQ(c.value.toBool(), c.boolean);
        EXPECT_EQ(c.value.toInt64(), c.number);
    }
}

// Values of different kinds differ even when they read alike, so a round trip keeps the kind.
TEST(StoreValueTest, EqualityKeepsTheKind) {
    EXPECT_EQ(StoreValue::fromInt32(5), StoreValue::fromInt32(5));
    EXPECT_NE(StoreValue::fromInt32(5), StoreValue::fromInt64(5));
    EXPECT_NE(StoreValue::fromText("5"), StoreValue::fromInt32(5));
    EXPECT_EQ(StoreValue::fromInt64(-1).toInt32(), -1);
    EXPECT_EQ(StoreValue::fromInt64(0x100000005).toInt32(), 5);
}

} // namespace
