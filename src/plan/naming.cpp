#include "plan/naming.h"

#include "plan/path_rules.h"
#include "platform/drives.h"
#include "platform/name_index.h"
#include "sources/source_paths.h"

namespace plan {
namespace {

// The extension of a file name as written, with its dot; "" for a name without one.
std::string extensionOf(std::string_view fileName) {
    const size_t dot = fileName.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

// The name under the renaming rules, before a conversion changes its extension.
std::string renamedDest(const NamingOptions& options, std::string_view origFileName, std::string_view desc,
                        int position, int numberWidth) {
    const std::string rel =
        options.keepFolderLevels ? PathTail(origFileName, options.folderLevels) : FileNamePart(origFileName);
    std::string name = sources::CollapseBackslashes(options.destFolder + "\\" + dropDotParts(rel), 3);

    const std::string base = FileNamePart(name);
    const bool startsWithDigit = !base.empty() && base[0] >= '0' && base[0] <= '9';
    if (!options.renameFiles || (options.keepNamesStartingWithDigit && startsWithDigit)) {
        return name;
    }

    if (options.renameByDescription && !desc.empty()) {
        // The description replaces the file name and the source's own extension follows it,
        // since players and devices choose the decoder by the extension; a backslash in it
        // makes sub-folders, but a "." or ".." in it is no way out of the destination.
        name =
            ReplaceFileName(name, dropDotParts(std::string(desc) + extensionOf(FileNamePart(origFileName))));
    }
    if (options.prefixListNumber) {
        std::string number = std::to_string(position);
        if (static_cast<int>(number.size()) < numberWidth) {
            number.insert(0, numberWidth - number.size(), '0');
        }
        name = ReplaceFileName(name, number + " " + FileNamePart(name));
    }
    return name;
}

} // namespace

int numberWidthFor(int highestPosition) {
    return static_cast<int>(std::to_string(highestPosition).size());
}

std::string destNameFor(const NamingOptions& options, std::string_view origFileName, std::string_view desc,
                        int position, int numberWidth) {
    std::string name = renamedDest(options, origFileName, desc, position, numberWidth);
    // A converted file is named for what it will hold: players choose the decoder by it.
    if (convert::convertsFile(options.conversion, origFileName)) {
        name = convert::convertedName(name, options.conversion.format->target);
    }
    return name;
}

std::string fullDestFolder(std::string_view typed) {
    return platform::fullProgramPath(typed).value_or(std::string(typed));
}

std::string firstFreeNumberedName(std::string_view path) {
    // The extension with its dot: from the last "." of the file-name part, "" when there is none.
    size_t nameStart = path.find_last_of("\\:");
    nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    const size_t dot = path.rfind('.');
    const std::string_view ext =
        dot == std::string_view::npos || dot < nameStart ? std::string_view() : path.substr(dot);
    return platform::firstFreeNumberedPath(path.substr(0, path.size() - ext.size()), ext);
}

std::optional<std::string> cleanInvalidName(std::string_view name, std::string_view destFolder,
                                            InvalidCharAction action) {
    // The folder's own text, joined the way destNameFor joins it, is kept apart.
    const std::string folder = sources::CollapseBackslashes(std::string(destFolder) + "\\", 3);
    const bool below = name.starts_with(folder);
    const std::string_view kept = below ? name.substr(0, folder.size()) : std::string_view();
    const std::string_view part = below ? name.substr(folder.size()) : name;
    const PathForm form = below ? PathForm::BelowFolder : PathForm::Whole;
    if (!IsInvalidPath(part, form)) {
        return std::nullopt;
    }
    std::string cleaned(kept);
    switch (action) {
    case InvalidCharAction::Delete:
        return cleaned + DeleteInvalidInPath(part, form);
    case InvalidCharAction::ReplaceWithSpace:
        return cleaned + ReplaceInvalidInPath(part, ' ', form);
    case InvalidCharAction::ReplaceWithUnderscore:
        return cleaned + ReplaceInvalidInPath(part, '_', form);
    }
    return std::string(name);
}

} // namespace plan
