#include "wizard/launch_source.h"

#include "sources/source_choice.h"

#include <algorithm>
#include <cctype>

namespace wizard {

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool isPlaylist(const std::string& path) {
    return endsWithIgnoringCase(path, ".m3u") || endsWithIgnoringCase(path, ".m3u8");
}

} // namespace

std::optional<LaunchSource> launchSourceFor(const std::vector<std::string>& paths,
                                            const std::function<bool(const std::string&)>& isFolder) {
    if (paths.empty()) {
        return std::nullopt;
    }
    LaunchSource source;
    if (paths.size() == 1 && isFolder(paths.front())) {
        source.kind = sources::FolderSource;
        source.path = paths.front();
    } else if (paths.size() == 1 && isPlaylist(paths.front())) {
        source.kind = sources::PlaylistSource;
        source.path = paths.front();
    } else {
        source.kind = sources::PickedFilesSource;
        std::copy_if(paths.begin(), paths.end(), std::back_inserter(source.files),
                     [&isFolder](const std::string& path) { return !isFolder(path); });
    }
    return source;
}

} // namespace wizard
