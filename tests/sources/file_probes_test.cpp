#include "sources/file_probes.h"

#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Answers come back by the order the paths were added, across many batches, in both kinds.
TEST(FileProbes, AnswersEachPathInTheOrderAdded) {
    testsupport::TempDrive drive{'D'};
    drive.writeFile("three.mp3", "abc");
    drive.writeFile("Empty.mp3");
    drive.makeFolder("folder.mp3");
    const std::vector<std::pair<std::string, std::pair<int64_t, int64_t>>> kinds = {
        {"D:\\three.mp3", {3, 0}},
        {"D:\\EMPTY.MP3", {0, 0}},
        {"D:\\missing.mp3", {-1, -1}},
        {"D:\\folder.mp3", {-1, -1}},
    };
    for (bool measure : {true, false}) {
        SCOPED_TRACE(measure ? "measure" : "exists");
        const size_t count = 1000;
        sources::FileProbes probes(measure, count);
        for (size_t i = 0; i < count; ++i) {
            probes.add(kinds[i % kinds.size()].first);
        }
        probes.finish();
        for (size_t i = 0; i < count; ++i) {
            const auto& [length, present] = kinds[i % kinds.size()].second;
            ASSERT_EQ(probes.answer(i), measure ? length : present) << i;
        }
    }
}

// A reader that gives up halfway (an error while it resolves its lines) leaves no thread behind.
TEST(FileProbes, GivingUpBeforeTheEndLeavesNoThreadWaiting) {
    testsupport::TempDrive drive{'D'};
    drive.writeFile("a.mp3", "a");
    sources::FileProbes probes(true, 100000);
    for (int i = 0; i < 50000; ++i) {
        probes.add("D:\\a.mp3");
    }
}

} // namespace
