#include "copy/run_conversions.h"

#include "copy/existing_file_policy.h"
#include "copy/failure_reason.h"

#include "convert/converter.h"
#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace copy {

namespace {

constexpr int ConvertingRow = 401;
constexpr int ConvertFailedRow = 402;
constexpr int MissingEncoderRow = 403;
constexpr int LengthsDifferRow = 404;
constexpr int SourceKeptRow = 405;
constexpr int InterruptedRow = 407;

// A moved source goes only when its converted file plays as long, give or take this.
constexpr int64_t MovedLengthToleranceMs = 1000;
// How often the bars follow a conversion and the buttons are looked at.
constexpr std::chrono::milliseconds ProgressInterval{50};

std::string secondsText(const std::optional<int64_t>& milliseconds) {
    if (!milliseconds) {
        return "?";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(*milliseconds) / 1000.0);
    return text;
}

} // namespace

std::optional<std::string> missingEncoderLine(const convert::ConversionChoice& choice) {
    if (!choice.format) {
        return std::nullopt;
    }
    const std::optional<convert::PipelineElement> missing = convert::missingEncoder(*choice.format);
    if (!missing) {
        return std::nullopt;
    }
    return texts::FormatText(
        MissingEncoderRow, {convert::targetName(choice.format->target), missing->element, missing->package});
}

RunConversions::RunConversions(const CopyOptions& options, ConvertedEntries entries, const RunVolume& volume)
    : m_options(options), m_entries(std::move(entries)), m_volume(volume),
      m_ahead(convert::conversionWorkers(options.Conversion) + 1) {
    if (std::find(m_entries.converts.begin(), m_entries.converts.end(), true) != m_entries.converts.end()) {
        m_pool = std::make_unique<convert::ConversionPool>(convert::conversionWorkers(options.Conversion));
    }
}

RunConversions::~RunConversions() {
    m_pool.reset();
    m_partials.clear();
}

bool RunConversions::converts(int index) const {
    return index >= 0 && static_cast<size_t>(index) < m_entries.converts.size() &&
           m_entries.converts[static_cast<size_t>(index)];
}

// A move removes its source behind the new file, so that file must be on its device first. A
// copy is flushed as any copy is: at the end of the run where the volume asks for it.
bool RunConversions::flushesEachFile() const {
    return m_options.TransferMode == TransferSystemMove;
}

bool RunConversions::start(int index, const std::string& sourceHost) {
    auto partial = std::make_unique<platform::PartialFile>();
    if (!partial->open(platform::ResolvedPath(m_entries.destNames[static_cast<size_t>(index)]))) {
        return false;
    }
    m_pool->submit(static_cast<size_t>(index), convert::ConvertJob{.sourcePath = sourceHost,
                                                                   .destPath = partial->tempHostPath(),
                                                                   .format = *m_options.Conversion.format,
                                                                   .tags = {},
                                                                   .flush = flushesEachFile()});
    m_partials[index] = std::move(partial);
    return true;
}

void RunConversions::startAhead(int index) {
    if (!m_pool) {
        return;
    }
    m_nextAhead = std::max(m_nextAhead, index);
    const int count = static_cast<int>(m_entries.converts.size());
    while (m_nextAhead < count && m_pool->inFlight() < m_ahead) {
        const int next = m_nextAhead++;
        const auto at = static_cast<size_t>(next);
        const std::string& dest = m_entries.destNames[at];
        // Only what its turn will surely convert: a source the scan opened, a name the volume
        // takes, and not a file the policy will skip for the one that stands there.
        if (!converts(next) || m_entries.lengths[at] < 0 || dest.empty() || !m_volume.takesFileName(dest) ||
            (m_options.ExistAction == ExistSkip && platform::fileExists(dest))) {
            continue;
        }
        const std::optional<std::string> sourceHost =
            platform::ResolvedPath(m_entries.sources[at]).hostPath();
        if (sourceHost) {
            start(next, *sourceHost);
        }
    }
}

void RunConversions::drop(int index) {
    auto found = m_partials.find(index);
    if (found == m_partials.end()) {
        return;
    }
    m_pool->cancel(static_cast<size_t>(index));
    m_pool->wait(static_cast<size_t>(index));
    m_partials.erase(found);
}

void RunConversions::cancelAll() {
    if (m_pool) {
        m_pool->cancelAll();
    }
}

void RunConversions::showProgress(int index, int64_t baseBytes, RunState& run, ProgressDisplay& display) {
    const convert::JobProgress progress = m_pool->progressOf(static_cast<size_t>(index));
    const int64_t lengthMs = progress.lengthMs.value_or(0);
    const double fraction =
        lengthMs > 0 ? std::min(1.0, static_cast<double>(progress.positionMs) / static_cast<double>(lengthMs))
                     : 0.0;
    // The total bar counts the source's bytes as far as the encoder has read into it.
    const int64_t bytes = std::max<int64_t>(m_entries.lengths[static_cast<size_t>(index)], 0);
    run.DoneBytes =
        std::min(baseBytes + static_cast<int64_t>(fraction * static_cast<double>(bytes)), run.TotalBytes);
    const double overall = doneFraction(run.DoneBytes, run.TotalBytes);
    display.SetOverallBar(overall);
    display.ShowStatus(StatusAll, overall);
    display.SetFileBar(fraction);
}

EntryOutcome RunConversions::convertEntry(int index, const platform::ResolvedPath& source,
                                          const platform::ResolvedPath& dest, RunState& run,
                                          ProgressDisplay& display, std::string& landed) {
    display.LogLine(texts::FormatText(ConvertingRow, {platform::shownPath(dest.programPath())}));
    if (!m_partials.contains(index)) {
        const std::optional<std::string>& sourceHost = source.hostPath();
        if (!m_pool || !sourceHost || !start(index, *sourceHost)) {
            display.LogLine(withLastFailureReason(texts::GetText(143)));
            return EntryOutcome::Failed;
        }
    }
    const int64_t baseBytes = run.DoneBytes;
    bool stopAsked = false;
    while (!m_pool->waitFor(static_cast<size_t>(index), ProgressInterval)) {
        if (!stopAsked && !run.shell.WorkActive) {
            cancelAll();
            stopAsked = true;
        } else if (!stopAsked && !run.FileGoOn) {
            m_pool->cancel(static_cast<size_t>(index));
            stopAsked = true;
        }
        showProgress(index, baseBytes, run, display);
        display.view().processPendingMessages();
    }
    // The last look at the buttons comes before the commit: a skip or an abort that arrives
    // with the full bar still keeps the file from its name.
    showProgress(index, baseBytes, run, display);
    display.view().processPendingMessages();
    run.DoneBytes = baseBytes;
    const convert::ConvertResult result =
        m_pool->takeResult(static_cast<size_t>(index)).value_or(convert::ConvertResult{});
    std::unique_ptr<platform::PartialFile> partial = std::move(m_partials[index]);
    m_partials.erase(index);
    if (result.status == convert::ConvertStatus::Cancelled || !run.FileGoOn || !run.shell.WorkActive) {
        partial->discard();
        display.LogLine(texts::FormatText(InterruptedRow, {platform::shownPath(dest.programPath())}));
        display.SetFileBar(0);
        display.LogLine("");
        return EntryOutcome::Skipped;
    }
    if (!result.ok()) {
        display.LogLine(texts::FormatText(ConvertFailedRow, {result.message}));
        return EntryOutcome::Failed;
    }
    const EntryOutcome outcome = commit(index, *partial, dest, run, display, landed);
    if (outcome == EntryOutcome::Copied && m_options.TransferMode == TransferSystemMove) {
        return removeMovedSource(source, landed, display);
    }
    return outcome;
}

// Puts the finished file at `dest`. When the policy numbered the name before the turn, the
// temporary file (made for the planned name) takes the numbered one; a name taken meanwhile
// gets the policy once more, as a copy's does.
EntryOutcome RunConversions::commit(int index, platform::PartialFile& partial,
                                    const platform::ResolvedPath& dest, RunState& run,
                                    ProgressDisplay& display, std::string& landed) {
    const std::string& planned = m_entries.destNames[static_cast<size_t>(index)];
    landed = planned;
    bool numbered = dest.programPath() != planned;
    bool skipped = false;
    const platform::TakenNameRoutine onTaken = [&](const std::string& taken) -> std::optional<std::string> {
        if (std::exchange(numbered, false)) {
            landed = dest.programPath();
            return landed;
        }
        std::optional<std::string> next =
            reapplyExistAction(m_options.ExistAction, planned, taken, run, display);
        skipped = !next.has_value();
        if (next) {
            landed = *next;
        }
        return next;
    };
    const bool overwrite = m_options.ExistAction == ExistOverwrite;
    if (partial.commit(overwrite ? platform::ExistingFile::Replace : platform::ExistingFile::Keep,
                       overwrite ? platform::TakenNameRoutine{} : onTaken)) {
        return EntryOutcome::Copied;
    }
    if (skipped) {
        return EntryOutcome::PolicySkipped;
    }
    display.LogLine(withLastFailureReason(texts::GetText(156)));
    return EntryOutcome::Failed;
}

// A move removes its source only once the new file stands flushed under its name and plays as
// long as the source; otherwise the source stays and the entry says why.
EntryOutcome RunConversions::removeMovedSource(const platform::ResolvedPath& source,
                                               const std::string& landed, ProgressDisplay& display) {
    const std::optional<std::string>& sourceHost = source.hostPath();
    const std::optional<std::string> landedHost = platform::ResolvedPath(landed).hostPath();
    const std::optional<int64_t> sourceMs = sourceHost ? convert::mediaLengthMs(*sourceHost) : std::nullopt;
    const std::optional<int64_t> writtenMs = landedHost ? convert::mediaLengthMs(*landedHost) : std::nullopt;
    if (!sourceMs || !writtenMs || std::llabs(*sourceMs - *writtenMs) > MovedLengthToleranceMs) {
        display.LogLine(texts::FormatText(
            SourceKeptRow,
            {texts::FormatText(LengthsDifferRow, {secondsText(writtenMs), secondsText(sourceMs)})}));
        return EntryOutcome::CopiedNotMoved;
    }
    if (!platform::deleteFile(source.programPath())) {
        display.LogLine(texts::FormatText(SourceKeptRow, {failureReason(platform::lastError())}));
        return EntryOutcome::CopiedNotMoved;
    }
    return EntryOutcome::Copied;
}

} // namespace copy
