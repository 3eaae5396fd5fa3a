// The sources at 100,000 files, each beside `find` over the same tree: reading a playlist of
// 100,000 entries without a size limit (beside `find -type f`, which names every file) and
// with one (every file opened and measured, beside `find -printf %s`, which stats every
// file, and beside bench_probe_loop, a plain C loop of the open, fstat, flock and close that
// the reader makes per file: its floor), and scanning the tree with the folder source (names
// and listed sizes, beside `find -printf %s`). Every side runs once to warm the page cache,
// then the sides take turns run by run; medians, the ratio to each peer and the goal of the
// ratio to the first peer are printed.
//
//   bench_sources [runs] [only]     (default 7 runs; `only`: run the cases whose name holds it)
#include "platform/drives.h"
#include "sources/folder_scanner.h"
#include "sources/playlist_reader.h"
#include "store/track_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#ifndef PROBE_LOOP
#error "PROBE_LOOP must name the C loop of open, fstat, flock and close"
#endif

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int FolderCount = 100;
constexpr int FilesPerFolder = 1000;
constexpr int FileCount = FolderCount * FilesPerFolder;
constexpr char Drive = 'B';

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_sources: %s\n", what.c_str());
    std::exit(1);
}

std::string fileName(int folder, int file) {
    char name[64];
    std::snprintf(name, sizeof name, "Artist %03d/%04d Track.mp3", folder, file);
    return name;
}

// 100 folders of 1,000 small files, a playlist naming each of them, and the list of their host
// paths for the C loop.
void buildFixture(const std::string& root) {
    std::string playlist = "#EXTM3U\r\n";
    std::string hostPaths;
    for (int folder = 0; folder < FolderCount; ++folder) {
        fs::create_directories(root + "/tree/" + fileName(folder, 0).substr(0, 10));
        for (int file = 0; file < FilesPerFolder; ++file) {
            const std::string name = fileName(folder, file);
            const int fd = ::open((root + "/tree/" + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, "ID3", 3) != 3 || ::close(fd) != 0) {
                fail("cannot write the tree");
            }
            playlist += "#EXTINF:" + std::to_string(180 + file % 120) + ",Artist " + std::to_string(folder) +
                        " - Track " + std::to_string(file) + "\r\ntree\\" + name + "\r\n";
            hostPaths += root + "/tree/" + name + "\n";
        }
    }
    std::ofstream(root + "/list.m3u", std::ios::binary) << playlist;
    std::ofstream(root + "/paths.txt", std::ios::binary) << hostPaths;
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void checkCount(store::TfdbObject& listDb) {
    if (store::trackCount(listDb) != FileCount) {
        fail("the list holds " + std::to_string(store::trackCount(listDb)) + " entries");
    }
}

void readPlaylist(int64_t sizeLimit) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    sources::ReadPlaylist(listDb, std::string(1, Drive) + ":\\list.m3u", sizeLimit, nullptr);
    checkCount(listDb);
}

void scanTree() {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    const std::string folder = std::string(1, Drive) + ":\\tree";
    sources::ScanFolder(
        folder,
        [&](const std::string& relativePath, const platform::FolderEntry& entry) {
            sources::AddFolderFile(listDb, folder, relativePath, entry);
        },
        sources::isAudioFile);
    checkCount(listDb);
}

void runShell(const std::string& command) {
    if (std::system((command + " > /dev/null").c_str()) != 0) {
        fail(command + " failed");
    }
}

void runFind(const std::string& arguments) {
    runShell("find " + arguments);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Peer {
    const char* name;
    std::function<void()> run;
    std::vector<double> times;
};

struct Pair {
    const char* ours;
    const char* goal; // of the ratio to the first peer
    std::function<void()> runOurs;
    std::vector<Peer> peers;
    std::vector<double> oursTimes;
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char pattern[] = "/tmp/tw-bench-sources-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        fail("cannot make a temporary folder");
    }
    const std::string root = pattern;
    std::printf("building %d files and a playlist of %d entries in %s ...\n", FileCount, FileCount,
                root.c_str());
    buildFixture(root);
    platform::mountDrive(Drive, root);
    const std::string tree = "'" + root + "/tree' -type f";

    const auto findSizes = [&] { runFind(tree + " -printf '%s\\n'"); };
    std::vector<Pair> pairs = {
        {"ReadPlaylist, no limit",
         "-",
         [] { readPlaylist(0); },
         {{"find -type f", [&] { runFind(tree); }, {}}},
         {}},
        {"ReadPlaylist, limit",
         "<= 2.0",
         [] { readPlaylist(700'000'000); },
         {{"find -printf %s", findSizes, {}},
          {"C open/fstat/flock/close",
           [&] { runShell(std::string(PROBE_LOOP) + " '" + root + "/paths.txt'"); },
           {}}},
         {}},
        {"ScanFolder+AddFolderFile", "<= 1.10", [] { scanTree(); }, {{"find -printf %s", findSizes, {}}}, {}},
    };
    if (argc > 2) {
        const std::string only = argv[2];
        std::erase_if(
            pairs, [&](const Pair& pair) { return std::string(pair.ours).find(only) == std::string::npos; });
    }
    for (auto& pair : pairs) { // warm the page cache the same way for every side
        pair.runOurs();
        for (Peer& peer : pair.peers) {
            peer.run();
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (auto& pair : pairs) {
            pair.oursTimes.push_back(millisecondsOf(pair.runOurs));
            for (Peer& peer : pair.peers) {
                peer.times.push_back(millisecondsOf(peer.run));
            }
        }
    }

    std::printf("%d files, %d runs, medians in ms; ratio = ours / peer (time)\n", FileCount, runs);
    std::printf("%-26s %10s   %-26s %10s %7s %9s\n", "ours", "ms", "peer", "ms", "ratio", "goal");
    for (const auto& pair : pairs) {
        const double ours = median(pair.oursTimes);
        for (size_t k = 0; k < pair.peers.size(); ++k) {
            const double peer = median(pair.peers[k].times);
            std::printf("%-26s %10.1f   %-26s %10.1f %7.2f %9s\n", k == 0 ? pair.ours : "", ours,
                        pair.peers[k].name, peer, ours / peer, k == 0 ? pair.goal : "-");
        }
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this process: %.1f MB\n", usage.ru_maxrss / 1024.0);

    platform::unmountDrive(Drive);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
