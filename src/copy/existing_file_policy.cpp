#include "copy/existing_file_policy.h"

#include "plan/naming.h"
#include "plan/path_rules.h"
#include "platform/host_names.h"
#include "texts/text_table.h"

namespace copy {

namespace {

// The names in these lines are shown as the host spells them.
std::string shownName(std::string_view path) {
    return platform::hostNameOfProgramName(plan::FileNamePart(path));
}

void logClash(ProgressDisplay& display, std::string_view path, const std::string& what) {
    display.LogLine(texts::FormatText(151, {shownName(path), what}));
}

} // namespace

std::string UniqueName(std::string_view path) {
    return plan::firstFreeNumberedName(path);
}

ExistAction existActionFromIndex(int index) {
    return index == ExistOverwrite || index == ExistSkip ? static_cast<ExistAction>(index) : ExistRename;
}

void applyExistAction(ExistAction action, std::string& dest, RunState& run, ProgressDisplay& display) {
    std::string name = plan::FileNamePart(dest);
    switch (action) {
    case ExistOverwrite:
        logClash(display, name, texts::GetText(152));
        break;
    case ExistRename: {
        std::string renamed = UniqueName(dest);
        logClash(display, name, texts::FormatText(153, {shownName(renamed)}));
        dest = std::move(renamed);
        break;
    }
    case ExistSkip:
        run.FileGoOn = false;
        logClash(display, name, texts::GetText(154));
        break;
    }
}

std::optional<std::string> reapplyExistAction(ExistAction action, std::string_view planned,
                                              const std::string& taken, RunState& run,
                                              ProgressDisplay& display) {
    std::string name = plan::FileNamePart(taken);
    switch (action) {
    case ExistRename: {
        std::string next = UniqueName(planned);
        logClash(display, name, texts::FormatText(153, {shownName(next)}));
        return next;
    }
    case ExistSkip:
        run.FileGoOn = false;
        logClash(display, name, texts::GetText(154));
        return std::nullopt;
    case ExistOverwrite:
        break;
    }
    return std::nullopt;
}

} // namespace copy
