#include "plan/naming.h"

#include "plan/path_rules.h"
#include "sources/source_paths.h"

namespace plan {

int NumberWidth(int highestPosition) {
    return static_cast<int>(std::to_string(highestPosition).size());
}

std::string DestNameFor(const NamingOptions& options, std::string_view origFileName, std::string_view desc,
                        int position, int numberWidth) {
    const std::string rel =
        options.keepFolderLevels ? PathTail(origFileName, options.folderLevels) : FileNamePart(origFileName);
    std::string name = sources::CollapseBackslashes(options.destFolder + "\\" + DropDotParts(rel), 3);

    const std::string base = FileNamePart(name);
    const bool startsWithDigit = !base.empty() && base[0] >= '0' && base[0] <= '9';
    if (!options.renameFiles || (options.keepNamesStartingWithDigit && startsWithDigit))
        return name;

    if (options.renameByDescription && !desc.empty()) {
        // The description replaces the whole file name, extension included; a backslash in it
        // makes sub-folders, but a "." or ".." in it is no way out of the destination.
        name = ReplaceFileName(name, DropDotParts(std::string(desc) + ".mp3"));
    }
    if (options.prefixListNumber) {
        std::string number = std::to_string(position);
        if (static_cast<int>(number.size()) < numberWidth)
            number.insert(0, numberWidth - number.size(), '0');
        name = ReplaceFileName(name, number + " " + FileNamePart(name));
    }
    return name;
}

std::optional<std::string> CleanInvalidName(std::string_view name, InvalidCharAction action) {
    if (!IsInvalidPath(name))
        return std::nullopt;
    switch (action) {
    case InvalidCharAction::Delete:
        return DeleteInvalidInPath(name);
    case InvalidCharAction::ReplaceWithSpace:
        return ReplaceInvalidInPath(name, ' ');
    case InvalidCharAction::ReplaceWithUnderscore:
        return ReplaceInvalidInPath(name, '_');
    }
    return std::string(name);
}

} // namespace plan
