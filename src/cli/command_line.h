// The command line of tunewagon-cli, read into the plain structs that the window fills from its
// controls, so that both front ends hand the core the same things:
//
//   tunewagon-cli [OPTIONS] --playlist FILE  DEST
//   tunewagon-cli [OPTIONS] --folder DIR     DEST
//   tunewagon-cli [OPTIONS] --files FILE... --to DEST
//
// Paths on the command line are host paths; they come out as program paths (a relative one
// taken below the current folder, platform/drives.h). --drive adds drives to the table, for
// playlists made on another machine; they are mounted before any path is read. Options may
// stand anywhere, also in the form --option=value; --files takes every following word up to
// the next one that begins with "--".
#pragma once

#include "copy/copy_options.h"
#include "plan/naming.h"
#include "plan/preview.h"
#include "platform/drive_mappings.h"
#include "sources/source_choice.h"
#include "sources/track_description.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

enum class LimitKind { None, Typed, FromFreeSpace };

struct CommandLine {
    sources::SourceChoice source;
    plan::NamingOptions naming; // destFolder set to the destination
    copy::CopyOptions copy;     // DestFolder set to the destination
    LimitKind limitKind = LimitKind::None;
    std::string limitText;               // --limit, megabytes as typed (checked to be a number)
    int64_t timeLimit = 0;               // --limit-time, in seconds; 0 = none
    bool listOnly = false;               // --list
    bool checkOnly = false;              // --check
    std::optional<plan::SortKey> sort;   // --sort: the list sorted before anything else
    std::optional<uint32_t> shuffleSeed; // --shuffle[=SEED]: then shuffled with this seed
    // Tags read while the list is built (--no-tags: not), described by --describe FORMAT, with
    // the cache in the user's cache folder ($XDG_CACHE_HOME/tunewagon or ~/.cache/tunewagon).
    sources::TagOptions tags;
    std::vector<platform::DriveMapping> drives; // --drive, in the order given
    bool help = false;                          // --help: nothing else is looked at
    bool version = false;                       // --version: nothing else is looked at
};

// A command line that cannot be carried out; what() says why, in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `args` without the program's name. Mounts the --drive mappings once the command line is
// whole, before its paths are read. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const UsageText;

} // namespace cli
