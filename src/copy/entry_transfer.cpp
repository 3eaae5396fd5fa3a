#include "copy/entry_transfer.h"

#include "copy/failure_reason.h"
#include "copy/own_copy.h"
#include "copy/system_transfer.h"
#include "copy/write_checks.h"

#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include <optional>

namespace copy {

namespace {

// The existing-file policy for a name taken while the entry is transferred; it remembers a skip,
// which makes the failed commit a skipped entry rather than a failed one.
class TakenNamePolicy {
public:
    TakenNamePolicy(ExistAction action, const std::string& planned, RunState& run, ProgressDisplay& display)
        : m_action(action), m_planned(planned), m_run(run), m_display(display) {}

    platform::ExistingFile existing() const {
        return m_action == ExistOverwrite ? platform::ExistingFile::Replace : platform::ExistingFile::Keep;
    }
    platform::TakenNameRoutine routine() {
        if (m_action == ExistOverwrite) {
            return {};
        }
        return [this](const std::string& taken) {
            std::optional<std::string> next =
                ReapplyExistAction(m_action, m_planned, taken, m_run, m_display);
            m_skipped = !next.has_value();
            if (next) {
                m_landed = *next;
            }
            return next;
        };
    }
    bool skipped() const { return m_skipped; }
    // The last name the transfer was given in place of its first one, "" when none.
    const std::string& landed() const { return m_landed; }

private:
    ExistAction m_action;
    const std::string& m_planned;
    RunState& m_run;
    ProgressDisplay& m_display;
    bool m_skipped = false;
    std::string m_landed;
};

// What a failed transfer that the policy did not skip counts as: a skip when the skip button or
// the abort stopped it, else a failure.
EntryOutcome interruptedOrFailed(const RunState& run) {
    return run.FileGoOn && run.shell.WorkActive ? EntryOutcome::Failed : EntryOutcome::Skipped;
}

EntryOutcome ownCopyEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                          TakenNamePolicy& policy, RunState& run, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(141, {platform::shownPath(dest.programPath())}));
    std::string error;
    switch (OwnCopy(source, dest, run, display, policy.existing(), policy.routine())) {
    case OwnCopyResult::Done:
        return EntryOutcome::Copied;
    case OwnCopyResult::Interrupted:
        return EntryOutcome::Skipped;
    case OwnCopyResult::SourceError:
        error = WithLastFailureReason(texts::GetText(142));
        break;
    case OwnCopyResult::DestError:
        error = WithLastFailureReason(texts::GetText(143));
        break;
    case OwnCopyResult::ReadError:
        error = WithLastFailureReason(texts::GetText(155));
        break;
    case OwnCopyResult::SourceEnded:
        error = texts::GetText(155) + ": " + FailureReason(platform::FileError::SourceShrank);
        break;
    case OwnCopyResult::WriteError:
        if (policy.skipped()) {
            return EntryOutcome::PolicySkipped;
        }
        error = WithLastFailureReason(texts::GetText(156));
        break;
    }
    display.LogLine(error);
    return EntryOutcome::Failed;
}

EntryOutcome systemCopyEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                             TakenNamePolicy& policy, RunState& run, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(141, {platform::shownPath(dest.programPath())}));
    if (SystemCopy(source, dest, run, display, policy.existing(), policy.routine())) {
        return EntryOutcome::Copied;
    }
    if (policy.skipped()) {
        return EntryOutcome::PolicySkipped;
    }
    display.LogLine(WithLastFailureReason(texts::GetText(150)));
    return interruptedOrFailed(run);
}

EntryOutcome systemMoveEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                             TakenNamePolicy& policy, ProgressDisplay& display, bool verify) {
    display.LogLine(texts::FormatText(144, {platform::shownPath(dest.programPath())}));
    bool checkFailed = false;
    platform::MovedCopyCheck check;
    if (verify) {
        check = [&](const std::string& copyPath) {
            checkFailed = !VerifyCopy(source.programPath(), copyPath, display);
            return !checkFailed;
        };
    }
    switch (SystemMove(source, dest, policy.routine(), check)) {
    case platform::MoveResult::Moved:
        return EntryOutcome::Copied;
    case platform::MoveResult::CopiedOnly:
        display.LogLine(texts::FormatText(159, {FailureReason(platform::lastError())}));
        return EntryOutcome::Copied;
    case platform::MoveResult::Failed:
        break;
    }
    if (checkFailed) {
        return EntryOutcome::Failed;
    }
    if (policy.skipped()) {
        return EntryOutcome::PolicySkipped;
    }
    display.LogLine(WithLastFailureReason(texts::GetText(145)));
    return EntryOutcome::Failed;
}

} // namespace

EntryOutcome TransferEntry(TransferMode mode, ExistAction action, const platform::ResolvedPath& source,
                           const platform::ResolvedPath& dest, const std::string& planned, RunState& run,
                           ProgressDisplay& display, std::string* landed, bool verify) {
    TakenNamePolicy policy(action, planned, run, display);
    EntryOutcome outcome = EntryOutcome::Failed;
    switch (mode) {
    case TransferOwnCopy:
        outcome = ownCopyEntry(source, dest, policy, run, display);
        break;
    case TransferSystemCopy:
        outcome = systemCopyEntry(source, dest, policy, run, display);
        break;
    case TransferSystemMove:
        outcome = systemMoveEntry(source, dest, policy, display, verify);
        break;
    }
    const std::string& landedName = policy.landed().empty() ? dest.programPath() : policy.landed();
    if (landed) {
        *landed = landedName;
    }
    // The move checked its copy before its source went.
    if (verify && mode != TransferSystemMove && outcome == EntryOutcome::Copied &&
        !VerifyCopy(source.programPath(), landedName, display)) {
        platform::deleteFile(landedName);
        return EntryOutcome::Failed;
    }
    return outcome;
}

} // namespace copy
