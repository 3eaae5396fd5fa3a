// The preview without a window: rows and their states after each operation a person does
// (remove, move, sort, shuffle, undo), the existing-file policy's words, the limit rows and the
// totals, over a list of picked files on a temporary drive.
#include "plan/preview.h"

#include "platform/drives.h"
#include "platform/volume_facts.h"
#include "store/track_list.h"
#include "support/audio_fixtures.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class PreviewTest : public ::testing::Test {
protected:
    // Five picked files in folders of their own, of 100 to 500 bytes; "Song" and "song" become
    // one name on a volume that ignores letter case.
    PreviewTest() {
        const char* const files[] = {"1/one.mp3", "2/two.mp3", "3/Song.mp3", "4/four.mp3", "5/song.mp3"};
        int size = 100;
        for (const char* file : files) {
            drive.writeFile(std::string("src/") + file, std::string(static_cast<size_t>(size), 'x'));
            request.source.pickedFiles.push_back(drive.programPath(std::string("src\\") + file));
            size += 100;
        }
        request.source.kind = sources::PickedFilesSource;
        request.naming.destFolder = drive.hostPath("out");
        request.naming.keepFolderLevels = false;
    }
    ~PreviewTest() override { platform::setVolumeFactsForTesting({}); }

    // The drive's folders lie on a FAT32 volume with clusters of `unit` bytes.
    void onFatVolume(int64_t unit = 4096) {
        platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Fat32);
        facts.allocationUnit = unit;
        platform::setVolumeFactsForTesting(
            [root = drive.hostRoot(),
             facts](const std::string& folder) -> std::optional<platform::VolumeFacts> {
                return folder.starts_with(root) ? std::optional(facts) : std::nullopt;
            });
    }
    // Each row as "destination below the folder [state words]".
    Lines rows() const {
        Lines shown;
        for (int row = 0; row < preview.rowCount(); ++row) {
            const std::string words = preview.stateText(row);
            shown.push_back(preview.destShown(row) + (words.empty() ? "" : " [" + words + "]"));
        }
        return shown;
    }

    testsupport::TempDrive drive{'D'};
    store::TfdbObject listDb;
    plan::Preview preview{listDb};
    plan::PreviewRequest request;
};

const std::string Clash = " [не подходит для тома как есть]";

// Removing rows 2 and 4 of five keeps the clash mark on the row that still clashes; moving the
// later name of the clash above the other turns the mark round; undo takes back each step.
TEST_F(PreviewTest, MarksFollowRemovalMoveAndUndo) {
    store::createTrackListLayout(listDb);
    onFatVolume();
    preview.build(request, {});
    const Lines built = {"one.mp3", "two.mp3", "Song.mp3", "four.mp3", "song.mp3" + Clash};
    EXPECT_EQ(rows(), built);

    preview.remove({1, 3});
    const Lines removed = {"one.mp3", "Song.mp3", "song.mp3" + Clash};
    EXPECT_EQ(rows(), removed);
    EXPECT_EQ(preview.totals().files, 3);
    EXPECT_EQ(preview.totals().bytes, 100 + 300 + 500);

    preview.move({2}, 1);
    EXPECT_EQ(rows(), (Lines{"one.mp3", "song.mp3", "Song.mp3" + Clash}));
    EXPECT_EQ(preview.totals().rowsIn[static_cast<size_t>(plan::RowState::VolumeRefused)], 1);

    ASSERT_TRUE(preview.undo());
    EXPECT_EQ(rows(), removed);
    ASSERT_TRUE(preview.undo());
    EXPECT_EQ(rows(), built);
    EXPECT_EQ(preview.totals().bytes, 1500);
    EXPECT_FALSE(preview.undo());
}

// A file already at the destination: the words say what the chosen policy will do with it.
TEST_F(PreviewTest, ExistingDestinationUnderEachPolicy) {
    store::createTrackListLayout(listDb);
    drive.writeFile("out/two.mp3", "older");
    const struct {
        plan::ExistingFilePolicy policy;
        const char* words;
    } cases[] = {
        {plan::ExistingFilePolicy::Overwrite, "уже в приемнике: будет заменен"},
        {plan::ExistingFilePolicy::Number, "уже в приемнике: будет записан как \"two (1).mp3\""},
        {plan::ExistingFilePolicy::Skip, "уже в приемнике: будет пропущен"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        request.existing = c.policy;
        preview.build(request, {});
        EXPECT_EQ(preview.stateText(1), c.words);
        EXPECT_EQ(preview.states(0), std::vector<plan::RowState>{plan::RowState::Ok});
        EXPECT_EQ(preview.totals().rowsIn[static_cast<size_t>(plan::RowState::Existing)], 1);
    }
}

// The rows past the limit in list order: a typed limit counts the sizes, the free space counts
// the clusters they take; a move changes which rows fall past it.
TEST_F(PreviewTest, RowsBeyondTheLimit) {
    store::createTrackListLayout(listDb);
    onFatVolume(4096);
    request.naming.renameFiles = false;
    const auto beyond = [this] {
        std::vector<int> found;
        for (int row = 0; row < preview.rowCount(); ++row) {
            const auto states = preview.states(row);
            if (std::find(states.begin(), states.end(), plan::RowState::BeyondLimit) != states.end()) {
                found.push_back(row);
            }
        }
        return found;
    };
    request.sizeLimit = 600; // 100 + 200 + 300 fit
    preview.build(request, {});
    EXPECT_EQ(beyond(), (std::vector<int>{3, 4}));
    preview.move({4}, 0); // 500 first: 500 + 100 fit, then 200 does not
    EXPECT_EQ(beyond(), (std::vector<int>{2, 3, 4}));

    request.sizeLimit = 3 * 4096; // three clusters: three files of any of these sizes
    request.limitFromFreeSpace = true;
    preview.build(request, {});
    EXPECT_EQ(beyond(), (std::vector<int>{3, 4}));
    EXPECT_TRUE(preview.limitBar(100).overLimit);
    EXPECT_EQ(preview.totals().onVolume, 5 * 4096);
}

// Converted rows: named with the new extension, marked with the format they become (a note, not
// a fault), and counted at the estimated size in the totals and against the limit.
TEST_F(PreviewTest, ConvertedRowsAreNamedMarkedAndCountedAtTheirEstimate) {
    store::createTrackListLayout(listDb);
    request.source.pickedFiles.clear();
    for (const char* name : {"a.flac", "b.flac"}) {
        testsupport::encodeTone(drive.hostPath(std::string("src/") + name),
                                {.encoder = "flacenc", .buffers = 40});
        request.source.pickedFiles.push_back(drive.programPath(std::string("src\\") + name));
    }
    drive.writeFile("src/c.mp3", std::string(1000, 'x'));
    request.source.pickedFiles.push_back(drive.programPath("src\\c.mp3"));
    request.tags.readTags = true;
    const convert::ConvertFormat v2 = convert::defaultFormat(convert::ConvertTarget::Mp3);
    request.naming.conversion = {.format = v2, .which = convert::ConvertWhich::Unplayable, .played = {"mp3"}};
    preview.build(request, {});

    EXPECT_EQ(rows(),
              (Lines{"a.mp3 [будет преобразован в MP3]", "b.mp3 [будет преобразован в MP3]", "c.mp3"}));
    EXPECT_EQ(preview.states(0), std::vector<plan::RowState>{plan::RowState::Converted});
    const int64_t estimate = convert::estimatedBytes(v2, 4000);
    EXPECT_EQ(preview.plannedBytes(0), estimate);
    EXPECT_EQ(preview.plannedBytes(2), 1000);
    EXPECT_EQ(preview.totals().bytes, 2 * estimate + 1000);

    // The limit falls after the first estimate, though the FLAC files alone would pass it.
    preview.setLimit(estimate + 500, false);
    EXPECT_EQ(preview.stateText(1), "за пределом ограничения; будет преобразован в MP3");
}

// A shuffle with one seed gives one order, again after an undo; sorting by size descending
// puts the largest first; the running numbers follow the order shown.
TEST_F(PreviewTest, ShuffleAndSortRenumber) {
    store::createTrackListLayout(listDb);
    request.naming.prefixListNumber = true;
    preview.build(request, {});
    const Lines built = rows();
    EXPECT_EQ(built.front(), "0 one.mp3");
    preview.shuffle(7);
    const Lines shuffled = rows();
    EXPECT_NE(shuffled, built);
    ASSERT_TRUE(preview.undo());
    preview.shuffle(7);
    EXPECT_EQ(rows(), shuffled);
    preview.sortBy(plan::SortKey::Size, true);
    EXPECT_EQ(rows(), (Lines{"0 song.mp3", "1 four.mp3", "2 Song.mp3", "3 two.mp3", "4 one.mp3"}));
    EXPECT_EQ(preview.sourceShown(0), "5/song.mp3");
}

} // namespace
