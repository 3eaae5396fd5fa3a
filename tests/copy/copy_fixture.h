// The copy engine's tests share a drive D:, a track list, and the engine's state and display
// doubles around them.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include "support/file_checks.h"
#include "support/recording_progress.h"
#include "support/temp_drive.h"

#include "platform/volume_facts.h"
#include "store/object_model.h"
#include "store/track_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace copytest {

struct CopyFixture : ::testing::Test {
    testsupport::TempDrive drive{'D'};
    copy::ShellFlags shell;
    copy::RunState run{shell};
    testsupport::RecordingProgress view;
    testsupport::ManualClock clock;
    copy::ProgressDisplay display{view, clock, run};
    store::TfdbObject listDb;

    // The drive stands on whatever volume holds the temporary folder; its facts are fixed here
    // so that tables can give free space in bytes: a volume with the host's name rules that
    // counts every byte (allocation unit 1) and needs no flush. Tests of other volumes set
    // their own facts.
    CopyFixture() {
        store::createTrackListLayout(listDb);
        platform::setVolumeFactsForTesting(
            [root = drive.hostRoot()](const std::string& folder) -> std::optional<platform::VolumeFacts> {
                if (folder != root && !folder.starts_with(root + "/")) {
                    return std::nullopt;
                }
                platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Posix);
                facts.allocationUnit = 1;
                return facts;
            });
    }
    ~CopyFixture() override { platform::setVolumeFactsForTesting({}); }

    void addEntry(std::string source, std::string dest, std::string desc = {}, std::optional<int> len = {},
                  int64_t size = -1) {
        store::TrackEntry entry{std::move(source), std::move(dest), std::move(desc), size, len};
        ASSERT_LE(store::appendTrackEntry(listDb, entry), 0);
    }

    // Log lines name host paths; tables write the drive's host folder as "$D" ("$D/out/a.mp3").
    std::string onHost(std::string text) const {
        for (size_t at = text.find("$D"); at != std::string::npos; at = text.find("$D", at)) {
            text.replace(at, 2, drive.hostRoot());
            at += drive.hostRoot().size();
        }
        return text;
    }
    std::vector<std::string> onHost(std::vector<std::string> lines) const {
        for (std::string& line : lines) {
            line = onHost(std::move(line));
        }
        return lines;
    }

    // Once the log's last line is `line` (onHost), runs `action` once (at the next point where
    // the engine lets the window process its messages).
    void whenLogEndsWith(std::string line, std::function<void()> action) {
        view.onProcessMessages = [this, line = onHost(std::move(line)), action = std::move(action),
                                  done = false]() mutable {
            if (!done && !view.log.empty() && view.log.back() == line) {
                done = true;
                action();
            }
        };
    }
};

} // namespace copytest
