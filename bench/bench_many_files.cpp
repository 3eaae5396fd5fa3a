// Many small files, as a person copies them with the command-line program, beside `cp -r`:
//
// - flat: N files of 1 KB in one folder copied into one destination folder
//   (`tunewagon-cli --folder S D --flat --no-playlist`), N = 1,000 to 16,000, in the system-copy
//   mode and the program's own copy, beside `cp -r` and `rsync -a` (which, like the program,
//   writes each file under a temporary name and renames it: the peer for safety). The goal is
//   the system copy's time at most 1.5x cp's. The growth factor from 1,000 to 16,000 files
//   shows whether the cost per file stays flat (16 for 16x the files; a quadratic lookup gives
//   hundreds).
// - albums: 10,000 files in 100 album folders that all have the name "Album", copied with
//   `--levels 1`, so that every track name is taken 100 times and the copies get numbered names
//   "(1)" to "(99)".
//
// Each side runs once to warm the page cache, then the sides take turns run by run, the order
// rotating; before every timing the destination is removed and the disk synced (untimed).
// Medians and ratios are printed.
//
//   bench_many_files [--runs R] [--max N] [--dir HOSTDIR]   (defaults: 5 runs, N up to 16000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#ifndef TUNEWAGON_CLI
#error "TUNEWAGON_CLI must name the command-line program"
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_many_files: %s\n", what.c_str());
    std::exit(1);
}

std::string quoted(const fs::path& path) {
    std::string text = path.string();
    text.insert(text.begin(), '\'');
    text.push_back('\'');
    return text;
}

void runShell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        fail("failed: " + command);
    }
}

double secondsOf(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void writeSmallFile(const fs::path& path, int seed) {
    char data[1024];
    for (size_t i = 0; i < sizeof data; ++i) {
        data[i] = static_cast<char>((seed * 131 + static_cast<int>(i) * 7) & 0xFF);
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, data, sizeof data) != static_cast<ssize_t>(sizeof data) || ::close(fd) != 0) {
        fail("cannot write " + path.string());
    }
}

size_t filesBelow(const fs::path& folder) {
    size_t count = 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        count += entry.is_regular_file() ? 1 : 0;
    }
    return count;
}

struct Side {
    std::string name;
    std::function<void()> run;
    std::vector<double> times;
};

// One case: its sides run in turn, `runs` times after a warming run; each must leave `expected`
// files in `out`.
void measure(std::vector<Side>& sides, const fs::path& out, size_t expected, int runs) {
    for (int r = -1; r < runs; ++r) {
        for (size_t k = 0; k < sides.size(); ++k) {
            Side& side = sides[(k + static_cast<size_t>(std::max(r, 0))) % sides.size()];
            fs::remove_all(out);
            ::sync();
            double seconds = secondsOf(side.run);
            if (filesBelow(out) != expected) {
                fail(side.name + " left " + std::to_string(filesBelow(out)) + " files, not " +
                     std::to_string(expected));
            }
            if (r >= 0) {
                side.times.push_back(seconds);
            }
        }
    }
    fs::remove_all(out);
}

std::string cli(const fs::path& source, const fs::path& dest, const std::string& options) {
    std::string command = TUNEWAGON_CLI;
    for (const std::string& part : {std::string(" --folder"), quoted(source), quoted(dest), options}) {
        command += ' ';
        command += part;
    }
    return command + " --no-playlist > /dev/null";
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int maxFiles = 16000;
    const char* base = std::getenv("TMPDIR");
    std::string dir = base != nullptr && *base != '\0' ? base : "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--max") == 0) {
            maxFiles = std::max(1000, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--dir") == 0) {
            dir = argv[i + 1];
        } else {
            fail(std::string("unknown option ") + argv[i]);
        }
    }
    fs::path root = fs::path(dir) / ("tw-bench-many-" + std::to_string(::getpid()));
    fs::path out = root / "out";

    std::printf("flat: N files of 1 KB in one folder into one folder; %d runs, medians in seconds\n\n", runs);
    std::printf("%7s %9s %9s %12s %8s %8s %12s %8s %7s\n", "N", "cp -r", "rsync -a", "system copy", "vs cp",
                "vs rsync", "own copy", "vs cp", "goal");
    std::map<int, std::vector<double>> flat; // N -> cp, rsync, system copy, own copy
    for (int n = 1000; n <= maxFiles; n *= 2) {
        fs::path source = root / ("flat" + std::to_string(n));
        fs::create_directories(source);
        for (int i = 0; i < n; ++i) {
            writeSmallFile(source / ("Track " + std::to_string(i) + ".mp3"), i);
        }
        std::vector<Side> sides = {
            {"cp -r", [&] { runShell("cp -r " + quoted(source) + " " + quoted(out)); }, {}},
            {"rsync -a", [&] { runShell("rsync -a " + quoted(source) + "/ " + quoted(out)); }, {}},
            {"system copy", [&] { runShell(cli(source, out, "--flat")); }, {}},
            {"own copy", [&] { runShell(cli(source, out, "--flat --mode copy")); }, {}},
        };
        measure(sides, out, static_cast<size_t>(n), runs);
        fs::remove_all(source);
        std::vector<double>& m = flat[n];
        for (const Side& side : sides) {
            m.push_back(median(side.times));
        }
        std::printf("%7d %9.3f %9.3f %12.3f %7.2fx %7.2fx %12.3f %7.2fx %7s\n", n, m[0], m[1], m[2],
                    m[2] / m[0], m[2] / m[1], m[3], m[3] / m[0], "<= 1.5");
        std::fflush(stdout);
    }
    int last = flat.rbegin()->first;
    std::printf(
        "growth from 1000 to %d files (x%d): cp %.1f, rsync %.1f, system copy %.1f, own copy %.1f\n\n", last,
        last / 1000, flat[last][0] / flat[1000][0], flat[last][1] / flat[1000][1],
        flat[last][2] / flat[1000][2], flat[last][3] / flat[1000][3]);

    // 100 folders "Artist NN/Album" of 100 tracks "NN Track.mp3": under --levels 1 all go to
    // "out/Album", the second copy of a name as "NN Track (1).mp3", and so on.
    fs::path albums = root / "albums";
    for (int a = 0; a < 100; ++a) {
        fs::path album = albums / ("Artist " + std::to_string(a)) / "Album";
        fs::create_directories(album);
        for (int t = 0; t < 100; ++t) {
            writeSmallFile(album / (std::to_string(t) + " Track.mp3"), a * 100 + t);
        }
    }
    std::vector<Side> sides = {
        {"cp -r", [&] { runShell("cp -r " + quoted(albums) + " " + quoted(out)); }, {}},
        {"system copy", [&] { runShell(cli(albums, out, "--levels 1")); }, {}},
    };
    measure(sides, out, 10000, runs);
    double cp = median(sides[0].times), ours = median(sides[1].times);
    std::printf("albums: 10000 files in 100 folders named Album, --levels 1 (numbered names)\n");
    std::printf("cp -r %.3f s, system copy %.3f s, ratio %.2fx (goal: keep 1.00x)\n", cp, ours, ours / cp);
    fs::remove_all(root);
    return 0;
}
