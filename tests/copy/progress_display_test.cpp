// The progress display: size texts, throttled bars, the status labels and their formulas.
#include "copy/progress_display.h"

#include "support/recording_progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using copy::StatusLabel;
using testsupport::ManualClock;
using testsupport::RecordingProgress;

struct DisplayFixture : ::testing::Test {
    copy::ShellFlags shell;
    copy::RunState run{shell};
    RecordingProgress view;
    ManualClock clock{1'000'000, 0};
    copy::ProgressDisplay display{view, clock, run};

    // The run's transfers began `seconds` ago (by the clock's current reading).
    void startedAgo(double seconds) { run.RunStartTime = clock.now - static_cast<int64_t>(seconds * 1000); }
};

// Positions are the integer part of 1000 f, kept within the bar; no fraction crashes it.
TEST(BarPosition, FractionToPosition) {
    struct Case {
        double fraction;
        int position;
    } cases[] = {
        {0.0, 0},    {0.5, 500}, {0.9999, 999},     {1.0, 1000},
        {1.5, 1000}, {-0.2, 0},  {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(copy::barPosition(c.fraction), c.position) << c.fraction;
    }
}

// Hours count within a day.
TEST(DurationText, HoursWithinADay) {
    EXPECT_EQ(copy::durationText(0), "0:00:00");
    EXPECT_EQ(copy::durationText(185'999), "0:03:05");
    EXPECT_EQ(copy::durationText((10 * 3600 + 7) * 1000LL), "10:00:07");
    EXPECT_EQ(copy::durationText(25 * 3600 * 1000LL), "1:00:00");
}

// A bar changes at most once per clock reading, and each change lets the window work.
TEST_F(DisplayFixture, BarsThrottledByClockReading) {
    display.SetFileBar(0.25);
    display.SetFileBar(0.5);    // same reading: dropped
    display.SetOverallBar(0.5); // the other bar has its own stamp
    EXPECT_EQ(view.filePositions, (std::vector<int>{250}));
    EXPECT_EQ(view.overallPositions, (std::vector<int>{500}));
    EXPECT_EQ(view.processCount, 2);

    clock.now += 1;
    display.SetFileBar(0.75);
    display.SetFileBar(0.8);
    display.resetBarStamps();
    display.SetFileBar(1);
    EXPECT_EQ(view.filePositions, (std::vector<int>{250, 750, 1000}));
}

// Nothing shows and nothing is processed during the first two seconds of the transfers.
TEST_F(DisplayFixture, StatusSilentForTwoSeconds) {
    run.DoneBytes = 5'000'000;
    startedAgo(2.0);
    display.ShowStatus(copy::StatusAll, 0.5);
    EXPECT_EQ(view.statusChanges, 0);
    EXPECT_EQ(view.processCount, 0);
    startedAgo(2.001);
    display.ShowStatus(copy::StatusAll, 0.5);
    EXPECT_EQ(view.statusChanges, 3);
    EXPECT_EQ(view.processCount, 1);
}

// Time, size and speed labels as the formulas give them.
TEST_F(DisplayFixture, StatusLabelTexts) {
    struct Case {
        double seconds;
        double fraction;
        int64_t done;
        int64_t total;
        const char* time;
        const char* size;
        const char* speed;
    } cases[] = {
        {185, 0.5, 25'000'000, 3'000'000'000, "0:03:05 - 0:06:10", "25 Мб / 3 Гб", "0.1 Mb/s"},
        {10, 0.8, 25'000'000, 31'250'000, "0:00:10 - 0:00:12", "25 Мб / 31 Мб", "2.5 Mb/s"},
        {10, 1, 20'000'000, 20'000'000, "0:00:10 - 0:00:10", "20 Мб / 20 Мб", "2 Mb/s"},
        // Nothing done yet: no pace to estimate by, the elapsed time alone.
        {3, 0, 0, 0, "0:00:03", "0 байт / 0 байт", "0 Mb/s"},
        {3, std::nan(""), 0, 0, "0:00:03", "0 байт / 0 байт", "0 Mb/s"},
        {3, 1e-300, 0, 5, "0:00:03", "0 байт / 5 байт", "0 Mb/s"},
        // A run past midnight of the clock keeps counting.
        {90000, 0.5, 0, 1, "1:00:00 - 2:00:00", "0 байт / 1 байт", "0 Mb/s"},
    };
    for (const Case& c : cases) {
        run.DoneBytes = c.done;
        run.TotalBytes = c.total;
        startedAgo(c.seconds);
        display.ShowStatus(copy::StatusAll, c.fraction);
        EXPECT_EQ(view.status(StatusLabel::Time), c.time) << c.seconds << " " << c.fraction;
        EXPECT_EQ(view.status(StatusLabel::Size), c.size);
        EXPECT_EQ(view.status(StatusLabel::Speed), c.speed);
    }
}

// Within one clock reading only a forced update goes through; the flags pick the labels.
TEST_F(DisplayFixture, StatusThrottleAndFlags) {
    run.DoneBytes = 1000;
    run.TotalBytes = 2000;
    startedAgo(10);
    display.ShowStatus(copy::StatusTime | copy::StatusSize, 0.5);
    EXPECT_EQ(view.status(StatusLabel::Size), "1000 байт / 2000 байт");
    EXPECT_EQ(view.status(StatusLabel::Speed), "");
    run.DoneBytes = 2000;
    display.ShowStatus(copy::StatusSize, 1); // same reading
    EXPECT_EQ(view.status(StatusLabel::Size), "1000 байт / 2000 байт");
    display.ShowStatus(copy::StatusSize | copy::StatusForce, 1);
    EXPECT_EQ(view.status(StatusLabel::Size), "2000 байт / 2000 байт");

    display.ClearStatus();
    for (StatusLabel label : {StatusLabel::Size, StatusLabel::Time, StatusLabel::Speed}) {
        EXPECT_EQ(view.status(label), "");
    }
}

} // namespace
