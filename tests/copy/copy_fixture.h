// The copy engine's tests share a drive D:, a track list, and the engine's state and display
// doubles around them.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "support/file_checks.h"
#include "support/recording_progress.h"
#include "support/temp_drive.h"

#include "store/object_model.h"
#include "store/track_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
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
    store::TfdbObject listDb;

    CopyFixture() { store::createTrackListLayout(listDb); }

    void addEntry(std::string source, std::string dest, std::string desc = {}, std::optional<int> len = {},
                  int64_t size = -1) {
        store::TrackEntry entry{std::move(source), std::move(dest), std::move(desc), size, len};
        ASSERT_LE(store::appendTrackEntry(listDb, entry), 0);
    }

    // Once the log's last line is `line`, runs `action` once (at the next point where the
    // engine lets the window process its messages).
    void whenLogEndsWith(std::string line, std::function<void()> action) {
        view.onProcessMessages = [this, line = std::move(line), action = std::move(action),
                                  done = false]() mutable {
            if (!done && !view.log.empty() && view.log.back() == line) {
                done = true;
                action();
            }
        };
    }
};

} // namespace copytest
