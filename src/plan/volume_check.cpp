#include "plan/volume_check.h"

#include "plan/latin_letters.h"
#include "plan/path_rules.h"
#include "plan/run_names.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/host_names.h"
#include "platform/name_case.h"
#include "platform/volume_name_rules.h"
#include "sources/source_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace plan {

namespace {

constexpr int EmptyNameRow = 342;
constexpr int DotNameRow = 343;
constexpr int WindowsInvalidCharRow = 344;
constexpr int InvalidCharRow = 345;
constexpr int ControlCharRow = 346;
constexpr int NonAsciiCharRow = 347;
constexpr int ReservedNameRow = 348;
constexpr int TrailingDotOrBlankRow = 349;
constexpr int TooLongUnitsRow = 350;
constexpr int TooLongBytesRow = 351;
constexpr int TooBigRow = 352;
constexpr int NameRefusedRow = 353; // the name written last: its text is never read as a placeholder
constexpr int CaseDiffersRow = 354;
constexpr int SameAsEarlierRow = 355;
constexpr int WrittenAsRow = 356;
constexpr int NotAsTheyAreRow = 357;

// The folder's own text as the naming rules join it, so that the part below it can be cut off.
std::string folderPrefix(std::string_view destFolder) {
    return sources::CollapseBackslashes(std::string(destFolder) + "\\", 3);
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Calls `step` with each part of `below` (the text below the folder) between separators, until
// it answers true; true when it did.
template <class Step> bool anyPart(std::string_view below, Step step) {
    size_t start = 0;
    for (size_t i = 0; i <= below.size(); ++i) {
        if (i == below.size() || isSeparator(below[i])) {
            if (step(below.substr(start, i - start))) {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

// The bytes of the UTF-8 character that begins at `at`.
size_t characterLength(std::string_view text, size_t at) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return end - at;
}

// One name with the characters that the volume refuses treated by `action`: those that Windows
// rules refuse where the volume keeps them, and on a volume whose driver takes ASCII only every
// other character, a Russian letter written in Latin letters. The name is judged as the host
// will hold it, so a stand-in counts as the character it stands for.
std::string treatRefusedChars(const platform::VolumeFacts& facts, std::string_view programName,
                              InvalidCharAction action) {
    const std::string host = platform::hostNameOfProgramName(programName);
    std::string treated;
    for (size_t at = 0; at < host.size();) {
        const size_t length = characterLength(host, at);
        const std::string_view character = std::string_view(host).substr(at, length);
        at += length;
        const auto c = static_cast<unsigned char>(character[0]);
        const bool windowsRefused = facts.windowsNameRules &&
                                    (c < 32 || InvalidNameChars.find(character[0]) != std::string_view::npos);
        const bool asciiRefused = facts.asciiNamesOnly && c >= 0x80;
        if (!windowsRefused && !asciiRefused) {
            treated += character;
        } else if (auto latin = asciiRefused ? latinLettersOf(character) : std::nullopt) {
            treated += *latin;
        } else if (action == InvalidCharAction::ReplaceWithSpace) {
            treated += ' ';
        } else if (action == InvalidCharAction::ReplaceWithUnderscore) {
            treated += '_';
        } else if (action != InvalidCharAction::Delete) {
            treated += character;
        }
    }
    return platform::programNameOfHostName(treated);
}

// A name that cleaning leaves empty, "." or ".." becomes "_": such a folder name would put its
// files in the folder itself or the one above it, such a file name names no file.
std::string nameOnVolume(const platform::VolumeFacts& facts, const std::string& name,
                         InvalidCharAction action) {
    if (!platform::nameProblemOn(facts, name)) {
        return name;
    }
    std::string fitted = platform::fitNameToVolume(facts, treatRefusedChars(facts, name, action));
    return fitted.empty() || fitted == "." || fitted == ".." ? "_" : fitted;
}

std::string problemText(platform::NameProblem problem, const platform::VolumeFacts& facts) {
    switch (problem) {
    case platform::NameProblem::Empty:
        return texts::GetText(EmptyNameRow);
    case platform::NameProblem::DotName:
        return texts::GetText(DotNameRow);
    case platform::NameProblem::InvalidChar:
        return texts::GetText(facts.windowsNameRules ? WindowsInvalidCharRow : InvalidCharRow);
    case platform::NameProblem::ControlChar:
        return texts::GetText(ControlCharRow);
    case platform::NameProblem::NonAsciiChar:
        return texts::GetText(NonAsciiCharRow);
    case platform::NameProblem::ReservedName:
        return texts::GetText(ReservedNameRow);
    case platform::NameProblem::TrailingDotOrBlank:
        return texts::GetText(TrailingDotOrBlankRow);
    case platform::NameProblem::TooLong:
        return texts::GetText(facts.windowsNameRules ? TooLongUnitsRow : TooLongBytesRow);
    }
    return {};
}

// The rules of the host's own names on top of every volume's: 255 bytes, which the file systems
// of this host ask of a name whatever the volume counts itself (FAT counts UTF-16 units).
const platform::VolumeFacts& hostRules() {
    static const platform::VolumeFacts rules = platform::volumeFactsOfKind(platform::VolumeKind::Posix);
    return rules;
}

// The first problem of the parts of `below` and the rules it breaks (the volume's, then the
// host's), nullopt when every part is taken as it is.
struct Refusal {
    platform::NameProblem problem;
    const platform::VolumeFacts* rules;
};
std::optional<Refusal> firstProblem(const platform::VolumeFacts& facts, std::string_view below) {
    std::optional<Refusal> found;
    anyPart(below, [&](std::string_view part) {
        if (part.empty()) {
            return false;
        }
        for (const platform::VolumeFacts* rules : {&facts, &hostRules()}) {
            if (auto problem = platform::nameProblemOn(*rules, part)) {
                found = Refusal{*problem, rules};
                return true;
            }
        }
        return false;
    });
    return found;
}

// `planned` with every part below `folder` that `facts` refuses cleaned.
std::string cleanedBelow(const platform::VolumeFacts& facts, std::string_view planned,
                         const std::string& folder, InvalidCharAction action) {
    std::string written = folder;
    std::string part;
    for (char c : planned.substr(folder.size())) {
        if (isSeparator(c)) {
            written += (part.empty() ? part : nameOnVolume(facts, part, action)) + c;
            part.clear();
        } else {
            part += c;
        }
    }
    return written + (part.empty() ? part : nameOnVolume(facts, part, action));
}

// The last "\" or "/" of a program path: its folder and its name.
std::pair<std::string, std::string> splitName(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        return {{}, path};
    }
    return {path.substr(0, cut), path.substr(cut + 1)};
}

// The files that stand in the destination folders, by folded name, each folder listed once.
class StandingFiles {
public:
    // The spelling of a file in `folder` whose name folds as `name` does, "" when none.
    const std::string& spellingOf(const std::string& folder, const std::string& name) {
        auto [listed, added] = m_folders.try_emplace(platform::foldNameCase(folder));
        if (added) {
            platform::FolderListing listing;
            platform::ListingFilter filter;
            filter.folders = false;
            if (platform::listFolder(folder + "\\", filter, listing)) {
                for (auto& entry : listing.entries) {
                    listed->second.emplace(platform::foldNameCase(entry.name), std::move(entry.name));
                }
            }
        }
        auto found = listed->second.find(platform::foldNameCase(name));
        return found == listed->second.end() ? m_none : found->second;
    }

private:
    std::map<std::string, std::map<std::string, std::string>> m_folders;
    const std::string m_none;
};

} // namespace

std::string volumeName(const platform::VolumeFacts& facts) {
    switch (facts.kind) {
    case platform::VolumeKind::Fat32:
        return "FAT32";
    case platform::VolumeKind::ExFat:
        return "exFAT";
    case platform::VolumeKind::Ntfs:
        return "NTFS";
    default:
        return facts.fsType.empty() ? std::string("?") : facts.fsType;
    }
}

std::string tooBigText(const platform::VolumeFacts& facts, int64_t size) {
    return texts::FormatText(TooBigRow,
                             {volumeName(facts), std::to_string(size), std::to_string(facts.maxFileSize)});
}

bool volumeTakesName(const platform::VolumeFacts& facts, std::string_view name) {
    return !name.empty() && !firstProblem(facts, name);
}

std::string plannedNameOnVolume(const platform::VolumeFacts& facts, std::string_view planned,
                                std::string_view destFolder, InvalidCharAction action) {
    const std::string folder = folderPrefix(destFolder);
    const bool below = planned.starts_with(folder);
    if (!below || !firstProblem(facts, planned.substr(folder.size()))) {
        return std::string(planned);
    }
    // The host's cut can leave what the volume refuses (a device name once the text after its
    // dot is cut off, a blank at the end), so both rules run until the name holds still.
    std::string written(planned);
    for (int round = 0; round < 4; ++round) {
        std::string next =
            cleanedBelow(hostRules(), cleanedBelow(facts, written, folder, action), folder, action);
        if (next == written) {
            break;
        }
        written = std::move(next);
    }
    return written;
}

std::vector<VolumeProblem> checkListForVolume(store::TfdbObject& listDb, const platform::VolumeFacts& facts,
                                              std::string_view destFolder, InvalidCharAction action) {
    std::vector<VolumeProblem> problems;
    const std::string folder = folderPrefix(destFolder);
    const std::string volume = volumeName(facts);
    const bool sizeLimited = facts.maxFileSize != platform::NoFileSizeLimit;
    // Below the folder, as a person sees it: a renamed folder shows in the name too.
    const auto shownBelow = [&folder](const std::string& name) {
        std::string shown;
        anyPart(std::string_view(name).substr(std::min(folder.size(), name.size())),
                [&shown](std::string_view part) {
                    shown += (shown.empty() ? "" : "/") + platform::hostNameOfProgramName(part);
                    return false;
                });
        return shown;
    };
    std::vector<std::string> written;
    StandingFiles standing;
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        int64_t size = entry.Size;
        if (sizeLimited && size < 0) {
            size = platform::exclusiveFileLength(entry.OrigFileName);
        }
        if (sizeLimited && size > facts.maxFileSize) {
            problems.push_back({position, VolumeProblemKind::TooBig, tooBigText(facts, size)});
        }
        std::string name = entry.FileName;
        if (name.starts_with(folder)) {
            if (auto refusal = firstProblem(facts, std::string_view(name).substr(folder.size()))) {
                name = plannedNameOnVolume(facts, entry.FileName, destFolder, action);
                problems.push_back({position, VolumeProblemKind::NameRefused,
                                    texts::FormatText(NameRefusedRow,
                                                      {volume, problemText(refusal->problem, *refusal->rules),
                                                       shownBelow(name)})});
            }
        }
        written.push_back(name);
        if (!facts.caseInsensitive) {
            return;
        }
        auto [parent, leaf] = splitName(name);
        const std::string& there = standing.spellingOf(parent, leaf);
        if (!there.empty() && there != leaf) {
            problems.push_back(
                {position, VolumeProblemKind::CaseClash, texts::FormatText(CaseDiffersRow, {volume, there})});
        }
    });
    // Two entries of the list that would be one file: the later one is written numbered.
    for (const RunNameChange& change : runNameChanges(written)) {
        const std::string& earlier = written[change.earlier];
        const std::string& planned = written[change.index];
        const std::string why = earlier != planned && facts.caseInsensitive
                                    ? texts::FormatText(CaseDiffersRow, {volume, splitName(earlier).second})
                                    : texts::FormatText(SameAsEarlierRow, {shownBelow(earlier)});
        problems.push_back({static_cast<int>(change.index), VolumeProblemKind::CaseClash,
                            why + texts::FormatText(WrittenAsRow, {shownBelow(change.name)})});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const VolumeProblem& a, const VolumeProblem& b) { return a.position < b.position; });
    return problems;
}

int entriesWithProblems(const std::vector<VolumeProblem>& problems) {
    std::set<int> positions;
    for (const auto& problem : problems) {
        positions.insert(problem.position);
    }
    return static_cast<int>(positions.size());
}

std::string volumeCheckLine(const platform::VolumeFacts& facts, const std::vector<VolumeProblem>& problems,
                            int entryCount) {
    int count = entriesWithProblems(problems);
    if (count == 0) {
        return {};
    }
    return texts::FormatText(NotAsTheyAreRow, {volumeName(facts), count, entryCount});
}

int64_t listedTotalOnVolume(store::TfdbObject& listDb, int64_t allocationUnit) {
    int64_t total = 0;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        if (entry.Size > 0) {
            total += platform::roundUpToAllocationUnit(entry.Size, allocationUnit);
        }
    });
    return total;
}

} // namespace plan
