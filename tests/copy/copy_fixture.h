// The copy engine's tests share a drive D: with the engine's state and display doubles around it.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "support/file_checks.h"
#include "support/recording_progress.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace copytest {

struct CopyFixture : ::testing::Test {
    testsupport::TempDrive drive{'D'};
    copy::ShellFlags shell;
    copy::RunState run{shell};
    testsupport::RecordingProgress view;
    testsupport::ManualClock clock;
    copy::ProgressDisplay display{view, clock, run};

    // Once the log's last line is `line`, runs `action` once (at the next point where the
    // engine lets the window process its messages).
    void whenLogEndsWith(std::string line, std::function<void()> action) {
        view.onProcessMessages = [this, line = std::move(line), action = std::move(action), done = false]() mutable {
            if (!done && !view.log.empty() && view.log.back() == line) {
                done = true;
                action();
            }
        };
    }
};

} // namespace copytest
