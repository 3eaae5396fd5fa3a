// The playlist reader on any bytes: a playlist file on a temporary drive read into a track
// list. It may refuse the file (a SourceError), never crash, and it makes at most one entry
// per file line.
#include "platform/drives.h"
#include "sources/playlist_reader.h"
#include "sources/source_error.h"
#include "store/object_model.h"
#include "store/track_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A folder of its own for the whole run, mounted as D: and removed when the run ends.
const std::string& playlistFolder() {
    static const std::string folder = [] {
        std::string pattern = "/tmp/tw-fuzz-playlist-XXXXXX";
        check(::mkdtemp(pattern.data()) != nullptr);
        platform::mountDrive('D', pattern);
        return pattern;
    }();
    static const bool cleanedAtExit = std::atexit([] {
                                          ::unlink((playlistFolder() + "/a.m3u").c_str());
                                          ::rmdir(playlistFolder().c_str());
                                      }) == 0;
    (void)cleanedAtExit;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // A new file each time: cutting the old one short would make the file system flush it.
    const std::string path = playlistFolder() + "/a.m3u";
    ::unlink(path.c_str());
    std::ofstream(path, std::ios::binary) << bytes;
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    try {
        sources::ReadPlaylist(listDb, "D:\\a.m3u", 1, [](const std::string&) {});
    } catch (const sources::SourceError&) {
    }
    const auto lines =
        std::count(bytes.begin(), bytes.end(), '\n') + std::count(bytes.begin(), bytes.end(), '\r');
    check(store::trackCount(listDb) <= lines + 1);
    return 0;
}
