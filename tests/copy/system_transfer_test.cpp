// The system copy's progress routine: both bars, the window's messages, and its answer.
#include "copy/system_transfer.h"

#include "copy_fixture.h"

#include <gtest/gtest.h>

namespace {

using copytest::CopyFixture;
using platform::CopyProgressAnswer;

using CopyProgressTest = CopyFixture;

// Cancel when the run was aborted or the entry skipped; the bars count the bytes of the file
// in hand on top of the finished entries, and a file of 0 bytes counts as complete.
TEST_F(CopyProgressTest, AnswersAndBars) {
    struct Case {
        bool workActive;
        bool fileGoOn;
        int64_t total;
        int64_t transferred;
        CopyProgressAnswer answer;
        int overall;
        int file;
    } cases[] = {
        {true, true, 1000, 250, CopyProgressAnswer::Continue, 625, 250},
        {true, true, 0, 0, CopyProgressAnswer::Continue, 500, 1000},
        {true, false, 1000, 0, CopyProgressAnswer::Cancel, 500, 0},
        {false, true, 1000, 1000, CopyProgressAnswer::Cancel, 1000, 1000},
    };
    run.DoneBytes = 1000;
    run.TotalBytes = 2000;
    for (const Case& c : cases) {
        shell.WorkActive = c.workActive;
        run.FileGoOn = c.fileGoOn;
        int processed = view.processCount;
        EXPECT_EQ(copy::CopyProgress(c.total, c.transferred, run, display), c.answer);
        EXPECT_EQ(view.overallPositions.back(), c.overall);
        EXPECT_EQ(view.filePositions.back(), c.file);
        EXPECT_GT(view.processCount, processed);
    }
}

// A click of the skip button inside the routine's message processing cancels this very call.
TEST_F(CopyProgressTest, SkipClickedWhileProcessingMessages) {
    shell.WorkActive = true;
    view.onProcessMessages = [this] { copy::Button5Click(run); };
    EXPECT_EQ(copy::CopyProgress(10, 5, run, display), CopyProgressAnswer::Cancel);
}

} // namespace
