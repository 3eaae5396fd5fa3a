#include "copy/existing_file_policy.h"

#include "plan/path_rules.h"
#include "platform/host_names.h"
#include "platform/name_index.h"
#include "texts/text_table.h"

namespace copy {

namespace {

// The extension with its dot: from the last "." of the file-name part, "" when there is none.
std::string_view Extension(std::string_view path) {
    size_t nameStart = path.find_last_of("\\:");
    nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) {
        return {};
    }
    return path.substr(dot);
}

// The names in these lines are shown as the host spells them.
std::string shownName(std::string_view path) {
    return platform::hostNameOfProgramName(plan::FileNamePart(path));
}

void logClash(ProgressDisplay& display, std::string_view path, const std::string& what) {
    display.LogLine(texts::FormatText(151, {shownName(path), what}));
}

} // namespace

std::string UniqueName(std::string_view path) {
    std::string_view ext = Extension(path);
    return platform::firstFreeNumberedPath(path.substr(0, path.size() - ext.size()), ext);
}

ExistAction ExistActionFromIndex(int index) {
    return index == ExistOverwrite || index == ExistSkip ? static_cast<ExistAction>(index) : ExistRename;
}

void ApplyExistAction(ExistAction action, std::string& dest, RunState& run, ProgressDisplay& display) {
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

std::optional<std::string> ReapplyExistAction(ExistAction action, std::string_view planned,
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
