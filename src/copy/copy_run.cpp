#include "copy/copy_run.h"

#include "copy/dest_folders.h"
#include "copy/entry_transfer.h"
#include "copy/existing_file_policy.h"
#include "copy/result_playlist.h"
#include "copy/run_conversions.h"
#include "copy/run_volume.h"
#include "copy/write_checks.h"

#include "plan/run_names.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace copy {

namespace {

constexpr int CopySummaryRow = 158;
constexpr int MoveSummaryRow = 193;
constexpr int AbortedCopySummaryRow = 194;
constexpr int AbortedMoveSummaryRow = 195;

constexpr int ConvertedSummaryRow = 406;

constexpr int SkippedRow = 208;
constexpr int RefusedNameRow = 209;

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

// What the run is about to do with each entry, decided once the sources are measured.
struct RunPlan {
    std::vector<int64_t> lengths;       // of each source as the scan measured it, -1 when not
    std::vector<std::string> destNames; // where each entry is written, "" when not attempted
    // What each entry is expected to write: its length, or a conversion's estimate.
    std::vector<int64_t> written;
    std::vector<bool> converted; // encoded on the way (CopyOptions::Conversion)
    std::vector<std::string> sources;
    int64_t spaceNeeded = 0; // on the destination volume, in whole allocation units
};

// The bytes an entry writes: a converted one its estimate from the playing time where that is
// known (its source's length otherwise, which errs on the safe side for lossless sources).
int64_t writtenBytes(const convert::ConversionChoice& conversion, const store::TrackEntry& entry,
                     int64_t length) {
    if (length > 0 && entry.Len && *entry.Len > 0) {
        return convert::estimatedBytes(*conversion.format, int64_t{*entry.Len} * 1000);
    }
    return length;
}

RunPlan planRun(store::TfdbObject& listDb, const CopyOptions& options, const RunVolume& volume,
                std::vector<int64_t> lengths) {
    const size_t count = lengths.size();
    RunPlan plan{.lengths = std::move(lengths),
                 .destNames = std::vector<std::string>(count),
                 .written = std::vector<int64_t>(count, -1),
                 .converted = std::vector<bool>(count, false),
                 .sources = std::vector<std::string>(count),
                 .spaceNeeded = 0};
    for (size_t i = 0; i < count; ++i) {
        store::TrackEntry entry;
        store::readTrackEntry(listDb, static_cast<int>(i), entry);
        plan.converted[i] = convert::convertsFile(options.Conversion, entry.OrigFileName);
        plan.written[i] =
            plan.converted[i] ? writtenBytes(options.Conversion, entry, plan.lengths[i]) : plan.lengths[i];
        plan.sources[i] = std::move(entry.OrigFileName);
        if (volume.tooBig(plan.written[i])) {
            continue;
        }
        plan.destNames[i] = volume.destName(entry.FileName);
        if (plan.written[i] > 0) {
            plan.spaceNeeded += volume.spaceTaken(plan.written[i]);
        }
    }
    // No entry of the run writes over another: a name planned twice is numbered for the later.
    plan.destNames = plan::distinctRunNames(std::move(plan.destNames));
    return plan;
}

// The destination check: false, after its message box, when the run must not start.
bool destinationHasRoom(const CopyOptions& options, int64_t spaceNeeded, ProgressDisplay& display,
                        const FreeSpaceQuery& freeSpace) {
    char drive = destDriveLetter(options.DestFolder);
    int64_t free = -1;
    if (drive != '\0') {
        free =
            freeSpace ? freeSpace(drive, options.DestFolder) : platform::freeSpace(drive, options.DestFolder);
    }
    if (free == -1) {
        display.view().showMessage(texts::GetText(135));
        return false;
    }
    if (free < spaceNeeded) {
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
    case EntryOutcome::CopiedNotMoved:
        ++run.FailedCount;
        break;
    }
}

// The entry's transfer once its destination is known: the policy when the destination exists,
// then the transfer when the source exists and the entry may go on. A missing source gets no
// line; it counts as not found. Answers the outcome of the transfer, nullopt when none was
// attempted (the entry is counted already), and the name the copy landed under in `landed`.
std::optional<EntryOutcome> transferTo(int index, const std::string& destName, const store::TrackEntry& entry,
                                       const CopyOptions& options, const RunVolume& volume,
                                       RunConversions& conversions, RunState& run, ProgressDisplay& display,
                                       std::string& landed) {
    // Each path is looked up once for the tests here and the transfer.
    platform::ResolvedPath source(entry.OrigFileName);
    std::optional<platform::ResolvedPath> dest(std::in_place, destName);
    run.FileGoOn = true;
    if (dest->isFile()) {
        std::string renamed = destName;
        applyExistAction(options.ExistAction, renamed, run, display);
        if (renamed != destName) {
            dest.emplace(renamed);
        }
    }
    if (!source.isFile()) {
        conversions.drop(index);
        ++run.NotFoundCount;
        return std::nullopt;
    }
    if (!run.FileGoOn) {
        conversions.drop(index);
        ++run.SkippedCount;
        return std::nullopt;
    }
    if (!volume.takesFileName(dest->programPath())) {
        conversions.drop(index);
        display.LogLine(texts::formatTextOnce(RefusedNameRow, {platform::shownPath(dest->programPath())}));
        ++run.FailedCount;
        return std::nullopt;
    }
    if (conversions.converts(index)) {
        return conversions.convertEntry(index, source, *dest, run, display, landed);
    }
    return transferEntry(options.TransferMode, options.ExistAction, source, *dest, destName, run, display,
                         &landed, options.Verify);
}

// One entry of the loop. A file that the volume cannot hold is not attempted; it counts as
// failed, with the line that says why.
void copyEntry(const CopyOptions& options, const RunVolume& volume, const RunPlan& plan, int index,
               RunConversions& conversions, store::TfdbObject& listDb, RunState& run,
               ProgressDisplay& display, std::vector<std::string>& written) {
    display.SetFileBar(0);
    store::TrackEntry entry;
    store::readTrackEntry(listDb, index, entry);
    display.SetFileBar(doneFraction(index, run.EntryCount));
    run.FileGoOn = true;
    std::string landed;
    EntryOutcome outcome = EntryOutcome::Failed;
    const int64_t writes = plan.written[static_cast<size_t>(index)];
    if (volume.tooBig(writes)) {
        display.LogLine(volume.tooBigLine(entry.FileName, writes));
    } else if (auto transferred = transferTo(index, plan.destNames[index], entry, options, volume,
                                             conversions, run, display, landed)) {
        outcome = *transferred;
    } else {
        return;
    }
    countOutcome(outcome, run);
    if (conversions.converts(index) &&
        (outcome == EntryOutcome::Copied || outcome == EntryOutcome::CopiedNotMoved)) {
        ++run.ConvertedCount;
    }
    // A move that had to keep its source still put its copy in place.
    if (outcome == EntryOutcome::Copied || outcome == EntryOutcome::CopiedNotMoved) {
        if (landed != entry.FileName) {
            run.LandedNames[index] = landed;
        }
        if (volume.flushAtEnd()) {
            written.push_back(landed);
        }
    }
    // The entry counts as done whatever came of its transfer.
    if (entry.Size > 0) {
        run.DoneBytes = std::min(run.DoneBytes + entry.Size, run.TotalBytes);
    }
    double overall = doneFraction(run.DoneBytes, run.TotalBytes);
    display.SetOverallBar(overall);
    display.ShowStatus(StatusAll, overall);
    if (!run.FileGoOn && outcome != EntryOutcome::PolicySkipped) {
        display.LogLine(texts::GetText(SkippedRow));
    }
}

void titleTransfers(TransferMode mode, ProgressDisplay& display) {
    bool move = mode == TransferSystemMove;
    display.view().setPhaseTitle(texts::GetText(move ? 139 : 137));
    display.LogLine(texts::GetText(move ? 140 : 138));
}

// The verdict line: what became of every entry, in the words of the mode; an aborted run says
// so first and counts the entries it never reached.
std::string summaryLine(TransferMode mode, const RunState& run, bool aborted) {
    const bool move = mode == TransferSystemMove;
    if (aborted) {
        std::string line = texts::FormatText(
            move ? AbortedMoveSummaryRow : AbortedCopySummaryRow,
            {run.CopiedCount, run.SkippedCount, run.FailedCount, run.NotFoundCount, run.NotStartedCount});
        if (run.ConvertedCount > 0) {
            line += texts::FormatText(ConvertedSummaryRow, {run.ConvertedCount});
        }
        return line;
    }
    std::string line =
        texts::FormatText(move ? MoveSummaryRow : CopySummaryRow,
                          {run.CopiedCount, run.SkippedCount, run.FailedCount, run.NotFoundCount});
    if (run.ConvertedCount > 0) {
        line += texts::FormatText(ConvertedSummaryRow, {run.ConvertedCount});
    }
    return line;
}

void closeRun(const CopyOptions& options, store::TfdbObject& listDb, RunState& run,
              ProgressDisplay& display) {
    const bool aborted = !run.shell.WorkActive;
    display.resetBarStamps();
    // An aborted run's bars stay where it stopped: full bars would say that it got there.
    if (!aborted) {
        display.SetOverallBar(1);
        display.SetFileBar(1);
    }
    display.LogLine("");
    display.LogLine(texts::GetText(aborted ? 147 : 146));
    if (options.CreateList && !aborted) {
        WritePlaylist(options, listDb, run.LandedNames, display);
    }
    // The verdict comes last, where a person looks for it, with the counts that a run that
    // failed for every entry would otherwise hide behind the completion line.
    const std::string summary = summaryLine(options.TransferMode, run, aborted);
    display.LogLine(summary);
    display.view().showSummary(summary, !aborted && run.FailedCount == 0 && run.NotFoundCount == 0);
    display.ClearStatus();
}

// Sets the run flags back to idle however the run ends: its end, a refusal before the first
// entry, or an error that rises to the caller (the close guard would otherwise refuse to close
// the window for ever).
class IdleAtEnd {
public:
    explicit IdleAtEnd(ShellFlags& shell) : m_shell(shell) {}
    IdleAtEnd(const IdleAtEnd&) = delete;
    IdleAtEnd& operator=(const IdleAtEnd&) = delete;
    ~IdleAtEnd() {
        m_shell.RunIdle = true;
        m_shell.WorkActive = false;
        m_shell.CopyCancelCell = -1;
    }

private:
    ShellFlags& m_shell;
};

} // namespace

char destDriveLetter(std::string_view destFolder) {
    if (destFolder.empty()) {
        return '\0';
    }
    char first = destFolder.front();
    if (first >= 'a' && first <= 'z') {
        first = static_cast<char>(first - 'a' + 'A');
    }
    return first >= 'A' && first <= 'Z' ? first : '\0';
}

void ScanSources(store::TfdbObject& listDb, RunState& run, ProgressDisplay& display,
                 std::vector<int64_t>* lengths) {
    display.view().setPhaseTitle(texts::GetText(123));
    display.LogLine(texts::GetText(124));
    run.TotalBytes = 0;
    run.MissingCount = 0;
    run.UnreadableCount = 0;
    run.EntryCount = store::trackCount(listDb);
    if (lengths) {
        lengths->assign(run.EntryCount, -1);
    }
    display.SetFileBar(0);
    for (int i = 0; i < run.EntryCount; ++i) {
        std::string source = store::readTrackField(listDb, i, store::TrackField::OrigFileName).toText();
        display.SetFileBar(doneFraction(i, run.EntryCount));
        // The open tells most sources apart; only one that fails to open is looked at again.
        int64_t length = platform::exclusiveFileLength(source);
        if (length < 0) {
            ++(platform::fileExists(source) ? run.UnreadableCount : run.MissingCount);
            continue;
        }
        run.TotalBytes += length;
        if (lengths) {
            (*lengths)[i] = length;
        }
        store::setTrackField(listDb, i, store::TrackField::Size, store::sizeValue(length));
    }
    display.SetFileBar(1);
    logScanCounts(run, display);
}

TransferMode transferModeFromIndex(int index) {
    return index == TransferOwnCopy || index == TransferSystemMove ? static_cast<TransferMode>(index)
                                                                   : TransferSystemCopy;
}

void CopyRun(const CopyOptions& given, store::TfdbObject& listDb, RunState& run, ProgressDisplay& display,
             const FreeSpaceQuery& freeSpace) {
    // A destination the preview resolved is taken as it stands; only a bare typed folder is
    // resolved here, where it is read.
    CopyOptions options = given;
    if (given.Dest) {
        options.DestFolder = given.Dest->programPath;
    }
    run.shell.RunIdle = false;
    run.shell.WorkActive = true;
    run.shell.CopyCancelCell = 0;
    const IdleAtEnd idleAtEnd(run.shell);
    display.view().clearLog();
    run.TotalBytes = 0;
    run.DoneBytes = 0;
    run.CopiedCount = 0;
    run.SkippedCount = 0;
    run.FailedCount = 0;
    run.NotFoundCount = 0;
    run.NotStartedCount = 0;
    run.ConvertedCount = 0;
    run.LandedNames.clear();
    display.ClearStatus();
    const RunVolume volume(options);
    std::vector<int64_t> lengths;
    ScanSources(listDb, run, display, &lengths);
    RunPlan runPlan = planRun(listDb, options, volume, std::move(lengths));
    // A conversion that cannot be made here is said before anything is written.
    if (std::find(runPlan.converted.begin(), runPlan.converted.end(), true) != runPlan.converted.end()) {
        if (const std::optional<std::string> missing = missingEncoderLine(options.Conversion)) {
            display.view().showMessage(*missing);
            return;
        }
    }
    if (!destinationHasRoom(options, runPlan.spaceNeeded, display, freeSpace)) {
        return;
    }
    CreateDestFolders(options.DestFolder, runPlan.destNames, run, display);
    run.RunStartTime = display.clock().nowMilliseconds();
    display.SetOverallBar(0);
    display.SetFileBar(0);
    titleTransfers(options.TransferMode, display);
    display.view().processPendingMessages();
    // The list is the one the scan measured; entries added since are not the run's.
    const int count = std::min(store::trackCount(listDb), static_cast<int>(runPlan.lengths.size()));
    std::vector<std::string> written;
    {
        // The conversions end (and what an abort left of them goes) before the flush.
        RunConversions conversions(options,
                                   ConvertedEntries{.converts = std::move(runPlan.converted),
                                                    .sources = std::move(runPlan.sources),
                                                    .destNames = runPlan.destNames,
                                                    .lengths = runPlan.lengths},
                                   volume);
        for (int i = 0; i < count; ++i) {
            if (run.shell.WorkActive) {
                conversions.startAhead(i);
                copyEntry(options, volume, runPlan, i, conversions, listDb, run, display, written);
            } else {
                conversions.cancelAll();
                ++run.NotStartedCount;
            }
        }
    }
    // Files put in place are flushed even after an abort: the device may be pulled out next.
    if (!written.empty()) {
        int lost = flushWrites(options.DestFolder, written, display);
        run.CopiedCount -= lost;
        run.FailedCount += lost;
    }
    closeRun(options, listDb, run, display);
}

} // namespace copy
