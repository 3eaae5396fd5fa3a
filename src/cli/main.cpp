// tunewagon-cli: the wizard's work without the window. It builds the track list from the chosen
// source exactly as the wizard does and then prints it (--list) or runs the same copy run,
// logging to standard output. The command line is in command_line.h; the exit codes are:
//   0 the run completed and every entry is at its destination or was skipped (or the list was
//     printed),
//   1 the run was aborted (Ctrl-C) or the destination check refused it,
//   2 the command line is wrong (with the usage text),
//   3 the source could not be read (with its message),
//   4 the run completed, but an entry failed or its source was missing (the log's last line
//     counts them), so that a script never takes a run that copied nothing for a good one;
//     with --check: the destination's volume will refuse an entry as it is.
#include "cli/command_line.h"
#include "cli/interrupt_requests.h"
#include "cli/list_printing.h"
#include "cli/terminal_progress.h"

#include "copy/clock.h"
#include "copy/copy_run.h"
#include "copy/progress_display.h"
#include "plan/preview.h"
#include "plan/size_limit.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/process_setup.h"
#include "platform/shown_paths.h"
#include "platform/terminal.h"
#include "sources/source_error.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int VolumeUnknownText = 362;
constexpr int ShuffledText = 363;

enum ExitCode : int {
    ExitCompleted = 0,
    ExitNotCompleted = 1,
    ExitWrongCommandLine = 2,
    ExitSourceUnreadable = 3,
    ExitEntriesFailed = 4
};

int64_t sizeLimitFor(const cli::CommandLine& line) {
    switch (line.limitKind) {
    case cli::LimitKind::Typed:
        return plan::sizeLimitFromText(line.limitText);
    case cli::LimitKind::FromFreeSpace:
        return plan::sizeLimitFromText(plan::megabytesText(plan::FreeSpace(line.naming.destFolder)));
    default:
        return 0;
    }
}

// The folder source reports nothing about a folder it cannot list (the wizard then shows an
// empty list); a script deserves to hear that its source is not there.
void checkSourceFolder(const sources::SourceChoice& source) {
    if (source.kind != sources::FolderSource) {
        return;
    }
    platform::FolderListing listing;
    if (!platform::listFolder(source.folderPath, {.files = false, .folders = false, .hidden = false},
                              listing)) {
        throw sources::cannotOpenFolder(platform::shownPath(source.folderPath), platform::lastErrorText());
    }
}

// Ctrl-C as a click on the abort button, given to the run once, where the window would
// process its messages.
struct AbortButton {
    copy::ShellFlags shell;
    bool clicked = false;

    void poll() {
        if (!clicked && cli::interruptRequested()) {
            clicked = true;
            copy::requestCancel(shell);
        }
    }
};

// The copy run and its exit code. A run that did not complete was either aborted or refused by
// the destination check, the only message box that a run shows.
ExitCode runCopy(const cli::CommandLine& line, const plan::Preview& preview, store::TfdbObject& listDb,
                 cli::TerminalProgress& view, AbortButton& abort) {
    copy::RunState run(abort.shell);
    copy::SteadyClock clock;
    copy::ProgressDisplay display(view, clock, run);
    const int messagesBefore = view.messageCount();
    // The run writes where the list was built for: the destination the preview resolved.
    copy::CopyOptions options = line.copy;
    options.Dest = preview.dest();
    copy::CopyRun(options, listDb, run, display);
    view.eraseProgressLine();
    if (abort.clicked || view.messageCount() != messagesBefore) {
        return ExitNotCompleted;
    }
    return run.FailedCount > 0 || run.NotFoundCount > 0 ? ExitEntriesFailed : ExitCompleted;
}

// The order asked for: sorted, then shuffled. A shuffle's seed is told, so that the order can
// be had again.
void arrange(const cli::CommandLine& line, plan::Preview& preview) {
    if (line.sort) {
        preview.sortBy(*line.sort);
    }
    if (line.shuffleSeed) {
        preview.shuffle(*line.shuffleSeed);
        const std::string told = texts::FormatText(ShuffledText, {std::to_string(*line.shuffleSeed)}) + "\n";
        std::fputs(told.c_str(), stderr);
    }
}

int work(const cli::CommandLine& line) {
    AbortButton abort;
    cli::TerminalProgress view(stdout, stderr, platform::isTerminal(stderr) ? stderr : nullptr,
                               [&abort] { abort.poll(); });
    store::TfdbObject listDb;
    store::createTrackListLayout(listDb);
    plan::Preview preview(listDb);
    plan::PreviewRequest request{.source = line.source,
                                 .naming = line.naming,
                                 .sizeLimit = sizeLimitFor(line),
                                 .limitFromFreeSpace = line.limitKind == cli::LimitKind::FromFreeSpace,
                                 .timeLimit = line.timeLimit,
                                 .existing = static_cast<plan::ExistingFilePolicy>(line.copy.ExistAction),
                                 .tags = line.tags};
    try {
        checkSourceFolder(line.source);
        preview.build(request, [&view](const std::string& text) { view.showMessage(text); });
    } catch (const sources::SourceError& error) {
        view.showMessage(error.inTerminal());
        return ExitSourceUnreadable;
    }
    // Building the list polls nothing; a Ctrl-C during it means the user wants out.
    if (cli::interruptRequested()) {
        return ExitNotCompleted;
    }
    arrange(line, preview);
    cli::reportSources(preview, stderr);
    if (line.checkOnly) {
        if (!preview.dest().volume) {
            view.showMessage(texts::FormatText(VolumeUnknownText, {platform::lastErrorText()}));
            return ExitNotCompleted;
        }
        return cli::printVolumeProblems(preview, stdout) > 0 ? ExitEntriesFailed : ExitCompleted;
    }
    if (line.listOnly) {
        cli::printTrackList(preview, platform::isTerminal(stdout), stdout);
        return ExitCompleted;
    }
    return runCopy(line, preview, listDb, view, abort);
}

} // namespace

int main(int argc, char** argv) {
    platform::treatFileSizeLimitAsFullDisk();
    cli::CommandLine line;
    try {
        line = cli::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const cli::UsageError& error) {
        std::fprintf(stderr, "tunewagon-cli: %s\n\n%s", error.what(), cli::UsageText);
        return ExitWrongCommandLine;
    }
    if (line.version) {
        std::fputs("tunewagon-cli " TW_VERSION "\n", stdout);
        return ExitCompleted;
    }
    if (line.help) {
        std::fputs(cli::UsageText, stdout);
        return ExitCompleted;
    }
    cli::installInterruptHandlers();
    try {
        return work(line);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tunewagon-cli: %s\n", error.what());
        return ExitNotCompleted;
    }
}
