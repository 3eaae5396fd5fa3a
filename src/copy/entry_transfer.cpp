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
                reapplyExistAction(m_action, m_planned, taken, m_run, m_display);
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

// The read-back of a copy before it takes its name (the Verify option): remembers a refusal, so
// that the entry counts as failed with the check's own line and no second one.
class CopyCheck {
public:
    CopyCheck(bool verify, const platform::ResolvedPath& source, ProgressDisplay& display) {
        if (verify) {
            m_check = [this, &source, &display](const std::string& copyPath) {
                m_refused = !verifyCopy(source.programPath(), copyPath, display);
                return !m_refused;
            };
        }
    }
    const platform::WrittenCopyCheck& routine() const { return m_check; }
    bool refused() const { return m_refused; }

private:
    platform::WrittenCopyCheck m_check;
    bool m_refused = false;
};

// What a failed transfer that the policy did not skip counts as: a skip when the skip button or
// the abort stopped it, else a failure.
EntryOutcome interruptedOrFailed(const RunState& run) {
    return run.FileGoOn && run.shell.WorkActive ? EntryOutcome::Failed : EntryOutcome::Skipped;
}

EntryOutcome ownCopyEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                          TakenNamePolicy& policy, const CopyCheck& check, RunState& run,
                          ProgressDisplay& display) {
    display.LogLine(texts::FormatText(141, {platform::shownPath(dest.programPath())}));
    std::string error;
    switch (OwnCopy(source, dest, run, display, policy.existing(), policy.routine(), check.routine())) {
    case OwnCopyResult::Done:
        return EntryOutcome::Copied;
    case OwnCopyResult::Interrupted:
        return EntryOutcome::Skipped;
    case OwnCopyResult::SourceError:
        error = withLastFailureReason(texts::GetText(142));
        break;
    case OwnCopyResult::DestError:
        error = withLastFailureReason(texts::GetText(143));
        break;
    case OwnCopyResult::ReadError:
        error = withLastFailureReason(texts::GetText(155));
        break;
    case OwnCopyResult::SourceEnded:
        error = texts::GetText(155) + ": " + failureReason(platform::FileError::SourceShrank);
        break;
    case OwnCopyResult::WriteError:
        if (policy.skipped()) {
            return EntryOutcome::PolicySkipped;
        }
        if (check.refused()) {
            return EntryOutcome::Failed;
        }
        error = withLastFailureReason(texts::GetText(156));
        break;
    }
    display.LogLine(error);
    return EntryOutcome::Failed;
}

EntryOutcome systemCopyEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                             TakenNamePolicy& policy, const CopyCheck& check, RunState& run,
                             ProgressDisplay& display) {
    display.LogLine(texts::FormatText(141, {platform::shownPath(dest.programPath())}));
    if (runSystemCopy(source, dest, run, display, policy.existing(), policy.routine(), check.routine())) {
        return EntryOutcome::Copied;
    }
    if (policy.skipped()) {
        return EntryOutcome::PolicySkipped;
    }
    if (check.refused()) {
        return EntryOutcome::Failed;
    }
    display.LogLine(withLastFailureReason(texts::GetText(150)));
    return interruptedOrFailed(run);
}

EntryOutcome systemMoveEntry(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                             TakenNamePolicy& policy, const CopyCheck& check, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(144, {platform::shownPath(dest.programPath())}));
    const platform::MoveResult result = runSystemMove(source, dest, policy.routine(), check.routine());
    switch (result) {
    case platform::MoveResult::Moved:
        return EntryOutcome::Copied;
    case platform::MoveResult::CopiedOnly:
        // The copy stands, but the file the user asked to move is still where it was.
        display.LogLine(texts::FormatText(159, {failureReason(platform::lastError())}));
        return EntryOutcome::CopiedNotMoved;
    case platform::MoveResult::Failed:
    case platform::MoveResult::CopyFailed:
        break;
    }
    if (check.refused()) {
        return EntryOutcome::Failed;
    }
    if (policy.skipped()) {
        return EntryOutcome::PolicySkipped;
    }
    const int row = result == platform::MoveResult::CopyFailed ? 180 : 145;
    display.LogLine(withLastFailureReason(texts::GetText(row)));
    return EntryOutcome::Failed;
}

} // namespace

EntryOutcome transferEntry(TransferMode mode, ExistAction action, const platform::ResolvedPath& source,
                           const platform::ResolvedPath& dest, const std::string& planned, RunState& run,
                           ProgressDisplay& display, std::string* landed, bool verify) {
    TakenNamePolicy policy(action, planned, run, display);
    // A move within one volume renames and rewrites no data, so only copies are read back.
    const CopyCheck check(verify, source, display);
    EntryOutcome outcome = EntryOutcome::Failed;
    switch (mode) {
    case TransferOwnCopy:
        outcome = ownCopyEntry(source, dest, policy, check, run, display);
        break;
    case TransferSystemCopy:
        outcome = systemCopyEntry(source, dest, policy, check, run, display);
        break;
    case TransferSystemMove:
        outcome = systemMoveEntry(source, dest, policy, check, display);
        break;
    }
    if (landed) {
        *landed = policy.landed().empty() ? dest.programPath() : policy.landed();
    }
    return outcome;
}

} // namespace copy
