// The source a person hands the program from outside: the paths given on its command line
// ("Open with" in a file manager passes them) or dropped onto the source page. One folder is
// a folder source, one playlist a playlist source, anything else the picked-files source.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wizard {

struct LaunchSource {
    int32_t kind = 0;               // sources/source_choice.h
    std::string path;               // the playlist or the folder (kinds 1 and 2)
    std::vector<std::string> files; // the picked files (kind 3)
};

// `paths` are program paths as given; `isFolder` tells a folder from a file. nullopt when
// nothing was given.
std::optional<LaunchSource> launchSourceFor(const std::vector<std::string>& paths,
                                            const std::function<bool(const std::string&)>& isFolder);

} // namespace wizard
