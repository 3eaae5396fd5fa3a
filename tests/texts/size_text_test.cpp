#include "texts/size_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Decimal units, cut toward zero, at their exact thresholds.
TEST(SizeText, UnitThresholds) {
    struct Case {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 байт"},        {9999, "9999 байт"},
        {10000, "10 Кб"},     {9999999, "9999 Кб"},
        {10000000, "10 Мб"},  {1999999999, "1999 Мб"},
        {2000000000, "2 Гб"}, {5368709120, "5 Гб"},
        {-1, "-1 байт"},      {std::numeric_limits<int64_t>::max(), "9223372036 Гб"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(texts::SizeText(c.bytes), c.text) << c.bytes;
    }
}

} // namespace
