// The result playlist read back: any bytes give files with host names of any bytes (a NUL byte
// between files, "/" between the names of one path, the first byte choosing the path form);
// the files are made on a temporary drive, a playlist is written for copies of those names and
// read back by the playlist reader, which must name the same files in the same order and
// nothing else.
#include "copy/result_playlist.h"
#include "platform/drives.h"
#include "platform/host_names.h"
#include "sources/playlist_reader.h"
#include "store/object_model.h"
#include "store/track_list.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A folder of its own for the whole run, mounted as D: and removed when the run ends.
const std::string& driveFolder() {
    static const std::string folder = [] {
        std::string pattern = "/tmp/tw-fuzz-result-XXXXXX";
        check(::mkdtemp(pattern.data()) != nullptr);
        platform::mountDrive('D', pattern);
        return pattern;
    }();
    static const bool cleanedAtExit = std::atexit([] {
                                          std::error_code ignored;
                                          std::filesystem::remove_all(driveFolder(), ignored);
                                      }) == 0;
    (void)cleanedAtExit;
    return folder;
}

// The names of one path, or none when a name could not be a host name ("", ".", "..", longer
// than a host name may be).
std::vector<std::string> namesOf(std::string_view path) {
    std::vector<std::string> names;
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::string_view name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || name.size() > 255) {
            return {};
        }
        names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

// Makes the file; its program path, or "" when the host refused it (a name taken by a folder).
std::string madeFile(const std::vector<std::string>& names) {
    std::string host = driveFolder() + "/out/f";
    std::string program = "D:\\out\\f";
    for (const std::string& name : names) {
        host += "/" + name;
        program += "\\" + platform::programNameOfHostName(name);
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(host).parent_path(), error);
    if (error || std::filesystem::is_directory(host, error)) {
        return {};
    }
    std::ofstream file(host, std::ios::binary);
    return file ? program : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto paths = data[0] % 2 == 0 ? copy::PlaylistPaths::Relative : copy::PlaylistPaths::Absolute;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::error_code ignored;
    std::filesystem::remove_all(driveFolder() + "/out", ignored);
    std::filesystem::create_directory(driveFolder() + "/out");
    store::TfdbObject written([](const std::string&) {});
    store::createTrackListLayout(written);
    std::vector<std::string> expected;
    for (size_t start = 0; start <= bytes.size() && expected.size() < 64;) {
        const size_t end = std::min(bytes.find('\0', start), bytes.size());
        const std::vector<std::string> names = namesOf(bytes.substr(start, end - start));
        start = end + 1;
        const std::string program = names.empty() ? std::string() : madeFile(names);
        if (!program.empty()) {
            store::TrackEntry entry{"D:\\src\\a.mp3", program, "d", -1, 1};
            check(store::appendTrackEntry(written, entry) <= 0);
            expected.push_back(*platform::toHostPath(program));
        }
    }
    const std::string playlist = driveFolder() + "/out/_playlist_.m3u";
    std::ofstream(playlist, std::ios::binary)
        << copy::resultPlaylistText(written, {.destFolder = "D:\\out", .paths = paths});
    store::TfdbObject readBack([](const std::string&) {});
    store::createTrackListLayout(readBack);
    sources::ReadPlaylist(readBack, "D:\\out\\_playlist_.m3u", 0, {});
    std::vector<std::string> read;
    store::forEachTrackEntry(readBack, [&](int, const store::TrackEntry& entry) {
        read.push_back(platform::toHostPath(entry.OrigFileName).value_or("?"));
    });
    check(read == expected);
    return 0;
}
