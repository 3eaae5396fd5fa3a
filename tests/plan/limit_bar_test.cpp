#include "plan/limit_bar.h"

#include "plan/volume_check.h"
#include "store/track_list.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct BarCase {
    const char* name;
    int64_t total;
    int64_t limit;
    plan::LimitBarView bar;
};

// The verdict, the measure and both texts of the bar, on a bar 200 pixels wide inside.
TEST(LimitBarFor, MeasuresTheTotalAgainstTheLimit) {
    const BarCase cases[] = {
        {"half the limit",
         350000000,
         700000000,
         {.visible = true,
          .shapeWidth = 100,
          .text = "50%  -  350 Мб/700 Мб",
          .hint = "50%  -  350000000/700000000"}},
        {"twice the limit",
         1400000000,
         700000000,
         {.visible = true,
          .shapeWidth = 100,
          .overLimit = true,
          .text = "200%  -  1400 Мб/700 Мб",
          .hint = "200%  -  1400000000/700000000"}},
        {"exactly the limit",
         700000000,
         700000000,
         {.visible = true,
          .shapeWidth = 200,
          .text = "100%  -  700 Мб/700 Мб",
          .hint = "100%  -  700000000/700000000"}},
        {"a third: width cut, percentage rounded",
         1,
         3,
         {.visible = true, .shapeWidth = 66, .text = "33%  -  1 байт/3 байт", .hint = "33%  -  1/3"}},
        {"two thirds",
         2,
         3,
         {.visible = true, .shapeWidth = 133, .text = "67%  -  2 байт/3 байт", .hint = "67%  -  2/3"}},
        {"just over",
         3000001,
         3000000,
         {.visible = true,
          .shapeWidth = 199,
          .overLimit = true,
          .text = "100%  -  3000 Кб/3000 Кб",
          .hint = "100%  -  3000001/3000000"}},
        // 200 x total does not fit in 64 bits; the measure must still be right.
        {"near the 64-bit range",
         4000000000000000000,
         8000000000000000000,
         {.visible = true,
          .shapeWidth = 100,
          .text = "50%  -  4000000000 Гб/8000000000 Гб",
          .hint = "50%  -  4000000000000000000/8000000000000000000"}},
        {"no limit", 350000000, 0, {}},
        {"negative limit", 350000000, -5, {}},
        {"nothing measured", 0, 700000000, {}},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        const plan::LimitBarView bar = plan::LimitBarFor(c.total, c.limit, 200);
        EXPECT_EQ(bar.visible, c.bar.visible);
        EXPECT_EQ(bar.shapeWidth, c.bar.shapeWidth);
        EXPECT_EQ(bar.overLimit, c.bar.overLimit);
        EXPECT_EQ(bar.text, c.bar.text);
        EXPECT_EQ(bar.hint, c.bar.hint);
    }
}

// A thousand files of 1 KB take 32 MB of a stick with 32 KiB clusters: the verdict counts that,
// and the hint gives both totals. An unknown allocation unit (0) leaves the byte total.
TEST(LimitBarFor, CountsWhatTheVolumeWillUse) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    for (int i = 0; i < 1000; ++i) {
        store::TrackEntry entry;
        entry.OrigFileName = "D:\\" + std::to_string(i) + ".mp3";
        entry.Size = 1000;
        store::appendTrackEntry(listDb, entry);
    }
    const int64_t total = plan::listedTotal(listDb);
    const int64_t onVolume = plan::listedTotalOnVolume(listDb, 32768);
    EXPECT_EQ(total, 1000000);
    EXPECT_EQ(onVolume, 32768000);
    const plan::ListedTotals totals = plan::listedTotalsOf(listDb, 32768);
    EXPECT_EQ(totals.bytes, total);
    EXPECT_EQ(totals.onVolume, onVolume);
    EXPECT_EQ(plan::listedTotalsOf(listDb, 0).onVolume, total);

    const plan::LimitBarView bar =
        plan::LimitBarFor(total, 16000000, 200, plan::TotalOnVolume{32768, onVolume});
    EXPECT_TRUE(bar.visible);
    EXPECT_TRUE(bar.overLimit);
    EXPECT_EQ(bar.shapeWidth, 97);
    EXPECT_EQ(bar.text, "205%  -  32 Мб/16 Мб");
    EXPECT_EQ(bar.hint,
              "205%  -  32768000/16000000\n"
              "Файлы: 1000 Кб (1000000 байт), на томе с кластером 32 Кб займут 32 Мб (32768000 байт)");

    const plan::LimitBarView unknownUnit = plan::LimitBarFor(total, 16000000, 200, plan::TotalOnVolume{0, 0});
    EXPECT_FALSE(unknownUnit.overLimit);
    EXPECT_EQ(unknownUnit.shapeWidth, 12);
    EXPECT_EQ(unknownUnit.text, "6%  -  1000 Кб/16 Мб");
    EXPECT_EQ(unknownUnit.hint, "6%  -  1000000/16000000");
}

// Only sizes above 0 count: -1 was not looked up, 0 could not be opened.
TEST(ListedTotal, AddsOnlyMeasuredSizes) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    for (int64_t size : {int64_t{1000}, int64_t{-1}, int64_t{0}, int64_t{5000000000}}) {
        store::TrackEntry entry;
        entry.OrigFileName = "D:\\a.mp3";
        entry.Size = size;
        store::appendTrackEntry(listDb, entry);
    }
    EXPECT_EQ(plan::listedTotal(listDb), 5000001000);
}

} // namespace
