#include "copy/copy_run.h"

#include "copy/dest_folders.h"
#include "copy/entry_transfer.h"
#include "copy/existing_file_policy.h"
#include "copy/result_playlist.h"

#include "platform/files.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>
#include <optional>

namespace copy {

namespace {

constexpr const char* SkippedLine = " Пропущено пользователем.";

void logScanCounts(const RunState& run, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(125, {run.EntryCount}));
    display.LogLine(texts::FormatText(126, {SizeText(run.TotalBytes)}));
    if (run.MissingCount > 0) {
        display.LogLine(texts::FormatText(127, {run.MissingCount}));
    }
    if (run.UnreadableCount > 0) {
        display.LogLine(texts::FormatText(128, {run.UnreadableCount}));
    }
    display.LogLine("");
}

// The destination check: false, after its message box, when the run must not start.
bool destinationHasRoom(const CopyOptions& options, const RunState& run, ProgressDisplay& display,
                        const FreeSpaceQuery& freeSpace) {
    char drive = DestDriveLetter(options.DestFolder);
    int64_t free = -1;
    if (drive != '\0') {
        free =
            freeSpace ? freeSpace(drive, options.DestFolder) : platform::freeSpace(drive, options.DestFolder);
    }
    if (free == -1) {
        display.view().showMessage(texts::GetText(135));
        return false;
    }
    if (free < run.TotalBytes) {
        display.view().showMessage(texts::GetText(136));
        return false;
    }
    return true;
}

void countOutcome(EntryOutcome outcome, RunState& run) {
    switch (outcome) {
    case EntryOutcome::Copied:
        ++run.CopiedCount;
        break;
    case EntryOutcome::Skipped:
    case EntryOutcome::PolicySkipped:
        ++run.SkippedCount;
        break;
    case EntryOutcome::Failed:
        ++run.FailedCount;
        break;
    }
}

// One entry of the loop: the policy when the destination exists, then the transfer when the
// source exists and the entry may go on. A missing source gets no line; it counts as not found.
void copyEntry(const CopyOptions& options, int index, store::TfdbObject& listDb, RunState& run,
               ProgressDisplay& display) {
    display.SetFileBar(0);
    store::TrackEntry entry;
    store::readTrackEntry(listDb, index, entry);
    display.SetFileBar(DoneFraction(index, run.EntryCount));
    // Each path is looked up once for the tests here and the transfer.
    platform::ResolvedPath source(entry.OrigFileName);
    std::optional<platform::ResolvedPath> dest(std::in_place, entry.FileName);
    run.FileGoOn = true;
    if (dest->isFile()) {
        std::string renamed = entry.FileName;
        ApplyExistAction(options.ExistAction, renamed, run, display);
        if (renamed != entry.FileName) {
            dest.emplace(renamed);
        }
    }
    if (!source.isFile()) {
        ++run.NotFoundCount;
        return;
    }
    if (!run.FileGoOn) {
        ++run.SkippedCount;
        return;
    }
    std::string landed;
    EntryOutcome outcome = TransferEntry(options.TransferMode, options.ExistAction, source, *dest,
                                         entry.FileName, run, display, &landed);
    countOutcome(outcome, run);
    if (outcome == EntryOutcome::Copied && landed != entry.FileName) {
        run.LandedNames[index] = landed;
    }
    // The entry counts as done whatever came of its transfer.
    if (entry.Size > 0) {
        run.DoneBytes = std::min(run.DoneBytes + entry.Size, run.TotalBytes);
    }
    double overall = DoneFraction(run.DoneBytes, run.TotalBytes);
    display.SetOverallBar(overall);
    display.ShowStatus(StatusAll, overall);
    if (!run.FileGoOn && outcome != EntryOutcome::PolicySkipped) {
        display.LogLine(SkippedLine);
    }
}

void titleTransfers(TransferMode mode, ProgressDisplay& display) {
    bool move = mode == TransferSystemMove;
    display.view().setPhaseTitle(texts::GetText(move ? 139 : 137));
    display.LogLine(texts::GetText(move ? 140 : 138));
}

void closeRun(const CopyOptions& options, store::TfdbObject& listDb, RunState& run,
              ProgressDisplay& display) {
    display.ResetBarStamps();
    display.SetOverallBar(1);
    display.SetFileBar(1);
    display.LogLine("");
    display.LogLine(texts::GetText(run.shell.WorkActive ? 146 : 147));
    if (options.CreateList && run.shell.WorkActive) {
        WritePlaylist(options, listDb, run.LandedNames, display);
    }
    // The verdict comes last, where a person looks for it, with the counts that a run that
    // failed for every entry would otherwise hide behind the completion line.
    std::string summary =
        texts::FormatText(158, {run.CopiedCount, run.SkippedCount, run.FailedCount, run.NotFoundCount});
    display.LogLine(summary);
    display.view().showSummary(summary, run.FailedCount == 0 && run.NotFoundCount == 0);
    run.shell.RunIdle = true;
    run.shell.WorkActive = false;
    run.shell.CopyCancelCell = -1;
    display.ClearStatus();
}

} // namespace

char DestDriveLetter(std::string_view destFolder) {
    if (destFolder.empty()) {
        return '\0';
    }
    char first = destFolder.front();
    if (first >= 'a' && first <= 'z') {
        first = static_cast<char>(first - 'a' + 'A');
    }
    return first >= 'A' && first <= 'Z' ? first : '\0';
}

void ScanSources(store::TfdbObject& listDb, RunState& run, ProgressDisplay& display) {
    display.view().setPhaseTitle(texts::GetText(123));
    display.LogLine(texts::GetText(124));
    run.TotalBytes = 0;
    run.MissingCount = 0;
    run.UnreadableCount = 0;
    run.EntryCount = store::trackCount(listDb);
    display.SetFileBar(0);
    for (int i = 0; i < run.EntryCount; ++i) {
        std::string source = store::readTrackField(listDb, i, store::TrackField::OrigFileName).toText();
        display.SetFileBar(DoneFraction(i, run.EntryCount));
        // The open tells most sources apart; only one that fails to open is looked at again.
        int64_t length = platform::exclusiveFileLength(source);
        if (length < 0) {
            ++(platform::fileExists(source) ? run.UnreadableCount : run.MissingCount);
            continue;
        }
        run.TotalBytes += length;
        store::setTrackField(listDb, i, store::TrackField::Size, store::sizeValue(length));
    }
    display.SetFileBar(1);
    logScanCounts(run, display);
}

TransferMode TransferModeFromIndex(int index) {
    return index == TransferOwnCopy || index == TransferSystemMove ? static_cast<TransferMode>(index)
                                                                   : TransferSystemCopy;
}

void CopyRun(const CopyOptions& options, store::TfdbObject& listDb, RunState& run, ProgressDisplay& display,
             const FreeSpaceQuery& freeSpace) {
    run.shell.RunIdle = false;
    run.shell.WorkActive = true;
    run.shell.CopyCancelCell = 0;
    display.view().clearLog();
    run.TotalBytes = 0;
    run.DoneBytes = 0;
    run.CopiedCount = 0;
    run.SkippedCount = 0;
    run.FailedCount = 0;
    run.NotFoundCount = 0;
    run.LandedNames.clear();
    display.ClearStatus();
    ScanSources(listDb, run, display);
    if (!destinationHasRoom(options, run, display, freeSpace)) {
        run.shell.WorkActive = false;
        run.shell.RunIdle = true;
        return;
    }
    CreateDestFolders(options.DestFolder, listDb, run, display);
    run.RunStartTime = display.clock().nowMilliseconds();
    display.SetOverallBar(0);
    display.SetFileBar(0);
    titleTransfers(options.TransferMode, display);
    display.view().processPendingMessages();
    int count = store::trackCount(listDb);
    for (int i = 0; i < count; ++i) {
        if (run.shell.WorkActive) {
            copyEntry(options, i, listDb, run, display);
        }
    }
    closeRun(options, listDb, run, display);
}

} // namespace copy
