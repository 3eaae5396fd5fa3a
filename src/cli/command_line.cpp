#include "cli/command_line.h"

#include "copy/existing_file_policy.h"
#include "platform/drives.h"

#include <initializer_list>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace cli {

const char* const UsageText = R"(Usage:
  tunewagon-cli [OPTIONS] --playlist FILE  DEST
  tunewagon-cli [OPTIONS] --folder DIR     DEST
  tunewagon-cli [OPTIONS] --files FILE... --to DEST

  --levels N            keep N source folder levels as sub-folders (0..255; default 1)
  --flat                no sub-folders (the folders box cleared)
  --rename              rename after the playlist description
  --keep-numbered       do not rename a name that starts with a digit
  --number              prefix the running number
  --invalid remove|space|underscore      (default remove)
  --limit MB | --auto-limit              size limit (default: none)
  --mode copy|system-copy|move           (default system-copy)
  --exists overwrite|rename|skip         (default rename)
  --no-playlist         do not write _playlist_.m3u
  --playlist-paths relative|absolute     paths in _playlist_.m3u (default relative)
  --drive D:=FOLDER     the drive D: of playlists made elsewhere is this folder (repeatable)
  --list                build the list and print it, copy nothing
  --help                show this text
  --version             show the program's version

Exit codes: 0 the run completed; 1 it was aborted or the destination was refused;
2 the command line is wrong; 3 the source could not be read; 4 the run completed but an
entry failed or its source was missing (see the log's last line).
)";

namespace {

// Everything the command line said, as written, before it is checked as a whole.
struct Given {
    std::vector<std::pair<int32_t, std::vector<std::string>>> sources; // kind, host paths
    std::vector<std::string> dests;                                    // host paths
    std::optional<int> levels;
    bool flat = false;
    bool rename = false;
    bool keepNumbered = false;
    bool number = false;
    plan::InvalidCharAction invalid = plan::InvalidCharAction::Delete;
    std::optional<std::string> limit;
    bool autoLimit = false;
    copy::TransferMode mode = copy::TransferSystemCopy;
    copy::ExistAction exists = copy::ExistRename;
    bool noPlaylist = false;
    copy::PlaylistPaths playlistPaths = copy::PlaylistPaths::Relative;
    std::vector<platform::DriveMapping> drives;
    bool list = false;
    bool help = false;
    bool version = false;
};

template <typename T>
T choose(std::string_view option, std::string_view value,
         std::initializer_list<std::pair<std::string_view, T>> choices) {
    std::string names;
    for (const auto& [name, result] : choices) {
        if (value == name) {
            return result;
        }
        names += (names.empty() ? "" : "|") + std::string(name);
    }
    throw UsageError(std::string(option) + " takes " + names + ", not \"" + std::string(value) + "\"");
}

int folderLevels(std::string_view value) {
    int levels = 0;
    bool digitsOnly = !value.empty() && value.size() <= 3;
    for (char c : value) {
        digitsOnly = digitsOnly && c >= '0' && c <= '9';
        levels = levels * 10 + (c - '0');
    }
    if (!digitsOnly || levels > 255) {
        throw UsageError("--levels takes a whole number from 0 to 255, not \"" + std::string(value) + "\"");
    }
    return levels;
}

// Megabytes: digits with at most one decimal point ("." or ","). The window silently takes a
// text it cannot read as no limit; on a command line that is a mistake worth saying.
std::string megabytes(std::string_view value) {
    int digits = 0;
    int points = 0;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' || c == ',') {
            ++points;
        } else {
            digits = 0;
            break;
        }
    }
    if (digits == 0 || points > 1) {
        throw UsageError("--limit takes a size in megabytes such as 700 or 4.7, not \"" + std::string(value) +
                         "\"");
    }
    return std::string(value);
}

using FlagStep = void (*)(Given&);
using ValueStep = void (*)(Given&, std::string_view);

const std::map<std::string_view, FlagStep> Flags = {
    {"--flat", [](Given& g) { g.flat = true; }},
    {"--rename", [](Given& g) { g.rename = true; }},
    {"--keep-numbered", [](Given& g) { g.keepNumbered = true; }},
    {"--number", [](Given& g) { g.number = true; }},
    {"--auto-limit", [](Given& g) { g.autoLimit = true; }},
    {"--no-playlist", [](Given& g) { g.noPlaylist = true; }},
    {"--list", [](Given& g) { g.list = true; }},
    {"--help", [](Given& g) { g.help = true; }},
    {"-h", [](Given& g) { g.help = true; }},
    {"--version", [](Given& g) { g.version = true; }},
};

const std::map<std::string_view, ValueStep> ValueOptions = {
    {"--playlist",
     [](Given& g, std::string_view v) {
         g.sources.push_back({sources::PlaylistSource, {std::string(v)}});
     }},
    {"--folder",
     [](Given& g, std::string_view v) {
         g.sources.push_back({sources::FolderSource, {std::string(v)}});
     }},
    {"--to", [](Given& g, std::string_view v) { g.dests.emplace_back(v); }},
    {"--levels", [](Given& g, std::string_view v) { g.levels = folderLevels(v); }},
    {"--limit", [](Given& g, std::string_view v) { g.limit = megabytes(v); }},
    {"--invalid",
     [](Given& g, std::string_view v) {
         using enum plan::InvalidCharAction;
         g.invalid = choose<plan::InvalidCharAction>(
             "--invalid", v,
             {{"remove", Delete}, {"space", ReplaceWithSpace}, {"underscore", ReplaceWithUnderscore}});
     }},
    {"--mode",
     [](Given& g, std::string_view v) {
         g.mode = choose<copy::TransferMode>("--mode", v,
                                             {{"copy", copy::TransferOwnCopy},
                                              {"system-copy", copy::TransferSystemCopy},
                                              {"move", copy::TransferSystemMove}});
     }},
    {"--playlist-paths",
     [](Given& g, std::string_view v) {
         g.playlistPaths = choose<copy::PlaylistPaths>(
             "--playlist-paths", v,
             {{"relative", copy::PlaylistPaths::Relative}, {"absolute", copy::PlaylistPaths::Absolute}});
     }},
    {"--drive",
     [](Given& g, std::string_view v) {
         auto mapping = platform::parseDriveMapping(v);
         if (!mapping) {
             throw UsageError("--drive takes a letter A to Y and a folder such as D:=/mnt/old, not \"" +
                              std::string(v) + "\"");
         }
         g.drives.push_back(std::move(*mapping));
     }},
    {"--exists",
     [](Given& g, std::string_view v) {
         g.exists = choose<copy::ExistAction>(
             "--exists", v,
             {{"overwrite", copy::ExistOverwrite}, {"rename", copy::ExistRename}, {"skip", copy::ExistSkip}});
     }},
};

bool isOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

Given readWords(const std::vector<std::string>& args) {
    Given given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!isOption(word)) {
            given.dests.push_back(word);
            continue;
        }
        size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        std::optional<std::string> attached;
        if (equals != std::string::npos) {
            attached = word.substr(equals + 1);
        }
        if (name == "--files" && !attached) {
            std::vector<std::string> files;
            while (i + 1 < args.size() && !std::string_view(args[i + 1]).starts_with("--")) {
                files.push_back(args[++i]);
            }
            given.sources.push_back({sources::PickedFilesSource, std::move(files)});
        } else if (auto flag = Flags.find(name); flag != Flags.end() && !attached) {
            flag->second(given);
        } else if (auto option = ValueOptions.find(name); option != ValueOptions.end()) {
            if (!attached && i + 1 >= args.size()) {
                throw UsageError(name + " needs a value");
            }
            option->second(given, attached ? *attached : args[++i]);
        } else {
            throw UsageError("unknown option \"" + word + "\"");
        }
    }
    return given;
}

std::string programPath(const std::string& hostPath) {
    if (hostPath.empty()) {
        throw UsageError("an empty text names no file or folder");
    }
    return platform::toProgramPath(hostPath);
}

void checkWhole(const Given& given) {
    if (given.sources.size() != 1) {
        throw UsageError("give one source: --playlist FILE, --folder DIR or --files FILE...");
    }
    if (given.sources.front().second.empty()) {
        throw UsageError("--files needs at least one file");
    }
    if (given.dests.size() != 1) {
        throw UsageError(given.dests.empty()
                             ? "give the destination folder"
                             : "give one destination folder, not " + std::to_string(given.dests.size()));
    }
    if (given.flat && given.levels) {
        throw UsageError("--flat and --levels exclude each other");
    }
    if (given.limit && given.autoLimit) {
        throw UsageError("--limit and --auto-limit exclude each other");
    }
}

sources::SourceChoice sourceChoice(int32_t kind, const std::vector<std::string>& hostPaths) {
    sources::SourceChoice source;
    source.kind = kind;
    if (kind == sources::PlaylistSource) {
        source.playlistPath = programPath(hostPaths.front());
    } else if (kind == sources::FolderSource) {
        source.folderPath = programPath(hostPaths.front());
    } else {
        for (const std::string& path : hostPaths) {
            source.pickedFiles.push_back(programPath(path));
        }
    }
    return source;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    const Given given = readWords(args);
    CommandLine line;
    if (given.version) {
        line.version = true;
        return line;
    }
    if (given.help) {
        line.help = true;
        return line;
    }
    checkWhole(given);
    // A source below a mounted folder is named on that drive, as the playlist's lines are.
    platform::mountDriveMappings(given.drives);
    line.drives = given.drives;
    line.source = sourceChoice(given.sources.front().first, given.sources.front().second);
    const std::string dest = programPath(given.dests.front());
    line.naming.destFolder = dest;
    line.naming.renameByDescription = given.rename;
    line.naming.keepNamesStartingWithDigit = given.keepNumbered;
    line.naming.prefixListNumber = given.number;
    line.naming.keepFolderLevels = !given.flat;
    line.naming.folderLevels = given.levels.value_or(1);
    line.naming.invalidChars = given.invalid;
    line.copy.DestFolder = dest;
    line.copy.TransferMode = given.mode;
    line.copy.ExistAction = given.exists;
    line.copy.CreateList = !given.noPlaylist;
    line.copy.PlaylistPaths = given.playlistPaths;
    if (given.limit) {
        line.limitKind = LimitKind::Typed;
        line.limitText = *given.limit;
    } else if (given.autoLimit) {
        line.limitKind = LimitKind::FromFreeSpace;
    }
    line.listOnly = given.list;
    return line;
}

} // namespace cli
