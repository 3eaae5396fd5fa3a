// The copy engine against the host's own tools, in one run: a set of many files in folders and
// one big file copied with each transfer mode of the copy run and with `cp`, and the set moved
// within one volume with the move mode and with `mv`. The copy run goes whole (scan, folders,
// transfers), with a display that draws nothing. Methods are interleaved run by run in a
// rotating order; before every timing the destination is removed and the disk synced, and the
// sources stay in the page cache for all methods alike. Medians are printed, with MB/s
// (1 MB = 1000000 bytes) and the speed relative to the peer tool.
//
// The progress display's cost: the big file's own copy once more with a display whose message
// processing takes 20 microseconds a pass (a window with nothing to do), and the cost of the
// three progress calls that follow every 128 KiB chunk, timed alone.
//
//   bench_copy [--files N] [--file-mb M] [--folders F] [--big-mb B] [--runs R] [--dir HOSTDIR]
//   (defaults: 300 files of 5 MB in 10 folders, a 1000 MB file, 5 runs, in $TMPDIR or /tmp)
#include "copy/copy_run.h"
#include "copy/own_copy.h"
#include "copy/progress_display.h"

#include "platform/drives.h"
#include "store/object_model.h"
#include "store/track_list.h"

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

namespace fs = std::filesystem;
using SteadyTime = std::chrono::steady_clock;

namespace {

constexpr char Drive = 'B';

struct Options {
    int files = 300;
    int fileMb = 5;
    int folders = 10;
    int bigMb = 1000;
    int runs = 5;
    std::string dir;
};

// A view that shows nothing; each pass of message processing may take a set time.
class QuietView : public copy::ProgressView {
public:
    explicit QuietView(std::chrono::microseconds passCost = {}) : m_passCost(passCost) {}
    void clearLog() override {}
    void appendLogLine(const std::string& text) override { lastLine = text; }
    void setOverallBar(int) override {}
    void setFileBar(int) override {}
    void setStatusText(copy::StatusLabel, const std::string&) override {}
    void setPhaseTitle(const std::string&) override {}
    void showMessage(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool askYesNo(const std::string&) override { return false; }
    void processPendingMessages() override {
        ++passes;
        if (m_passCost.count() > 0) {
            auto until = SteadyTime::now() + m_passCost;
            while (SteadyTime::now() < until) {
            }
        }
    }
    void openDocument(const std::string&) override {}

    std::string lastLine;
    int64_t passes = 0;

private:
    std::chrono::microseconds m_passCost;
};

double secondsOf(const std::function<void()>& work) {
    auto start = SteadyTime::now();
    work();
    return std::chrono::duration<double>(SteadyTime::now() - start).count();
}

void runShell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

void writeDataFile(const fs::path& path, int64_t bytes, unsigned seed) {
    static std::vector<uint64_t> block(1 << 17); // 1 MiB
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (uint64_t& word : block) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        word = state;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int64_t done = 0; fd >= 0 && done < bytes;) {
        size_t step = static_cast<size_t>(std::min<int64_t>(bytes - done, 8 * block.size()));
        if (::write(fd, block.data(), step) != static_cast<ssize_t>(step)) {
            break;
        }
        done += static_cast<int64_t>(step);
        block[0] ^= static_cast<uint64_t>(done); // no two megabytes alike
    }
    if (fd < 0 || ::close(fd) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string folderName(int folder) {
    char name[16];
    std::snprintf(name, sizeof name, "f%02d", folder);
    return name;
}

// The relative paths ("f03/017.mp3") of the file set.
std::vector<std::string> fileSet(const Options& options) {
    std::vector<std::string> names;
    for (int i = 0; i < options.files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.mp3", i);
        names.push_back(folderName(i % options.folders) + name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string programPath(const std::string& folder, const std::string& relative) {
    std::string path = std::string(1, Drive) + ":\\" + folder + "\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// One whole copy run over `names` from `from` to "out" in `mode`; checks that it completed.
void engineRun(copy::TransferMode mode, const std::string& from, const std::vector<std::string>& names,
               QuietView& view, int64_t tick = copy::SteadyClock::DefaultTick) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    for (const std::string& name : names) {
        store::appendTrackEntry(listDb,
                                {programPath(from, name), programPath("out", name), "", -1, std::nullopt});
    }
    copy::ShellFlags shell;
    copy::RunState run(shell);
    copy::SteadyClock clock(tick);
    copy::ProgressDisplay display(view, clock, run);
    copy::CopyOptions options{mode, copy::ExistOverwrite, false, std::string(1, Drive) + ":\\out"};
    copy::CopyRun(options, listDb, run, display);
    if (run.FailedCount != 0 || run.NotFoundCount != 0 || run.SkippedCount != 0) {
        std::fprintf(stderr, "run in mode %d ended with: %s\n", mode, view.lastLine.c_str());
        std::exit(1);
    }
}

struct Method {
    std::string group; // what is transferred
    std::string name;
    std::function<void()> prepare; // untimed
    std::function<void()> timed;
};

// Files and bytes below `folder` (hidden temporary files would count too).
std::pair<int64_t, int64_t> filesAndBytes(const fs::path& folder) {
    std::pair<int64_t, int64_t> found{0, 0};
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            ++found.first;
            found.second += static_cast<int64_t>(entry.file_size());
        }
    }
    return found;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The three progress calls after every chunk of an own copy, timed alone: ns per chunk.
double progressCallCost() {
    QuietView view;
    copy::ShellFlags shell;
    copy::RunState run(shell);
    run.TotalBytes = int64_t{1} << 40;
    copy::SteadyClock clock;
    copy::ProgressDisplay display(view, clock, run);
    run.RunStartTime = clock.nowMilliseconds() - 10000;
    const int chunks = 2000000;
    double seconds = secondsOf([&] {
        for (int i = 0; i < chunks; ++i) {
            double f = static_cast<double>(i) / chunks;
            display.SetOverallBar(f);
            display.ShowStatus(copy::StatusTime | copy::StatusSize, f);
            display.SetFileBar(f);
        }
    });
    return seconds * 1e9 / chunks;
}

Options parse(int argc, char** argv) {
    Options options;
    const char* base = std::getenv("TMPDIR");
    options.dir = base != nullptr && *base != '\0' ? base : "/tmp";
    std::map<std::string, int*> numbers = {{"--files", &options.files},
                                           {"--file-mb", &options.fileMb},
                                           {"--folders", &options.folders},
                                           {"--big-mb", &options.bigMb},
                                           {"--runs", &options.runs}};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--dir") == 0) {
            options.dir = argv[i + 1];
        } else if (numbers.count(argv[i])) {
            *numbers[argv[i]] = std::max(1, std::atoi(argv[i + 1]));
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            std::exit(2);
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    Options options = parse(argc, argv);
    fs::path root = fs::path(options.dir) / ("tw-bench-copy-" + std::to_string(::getpid()));
    fs::path src = root / "src", bigSrc = root / "bigsrc", out = root / "out", moving = root / "moving";
    std::vector<std::string> names = fileSet(options);
    const int64_t fileBytes = int64_t{options.fileMb} * 1000000;
    const int64_t bigBytes = int64_t{options.bigMb} * 1000000;
    for (int f = 0; f < options.folders; ++f) {
        fs::create_directories(src / folderName(f));
    }
    for (size_t i = 0; i < names.size(); ++i) {
        writeDataFile(src / names[i], fileBytes, static_cast<unsigned>(i + 1));
    }
    fs::create_directories(bigSrc);
    writeDataFile(bigSrc / "big.mp3", bigBytes, 9999);
    ::sync();
    platform::mountDrive(Drive, root.string());

    std::string moveByFolder;
    for (int f = 0; f < options.folders; ++f) {
        std::string name = folderName(f);
        moveByFolder += "mkdir -p " + quoted(out / name) + " && mv " + quoted(moving / name) + "/* " +
                        quoted(out / name) + "/ && ";
    }
    moveByFolder += "true";

    QuietView quiet;
    QuietView busy(std::chrono::microseconds(20));
    auto linkMoving = [&] { runShell("cp -al " + quoted(src) + " " + quoted(moving)); };
    std::vector<Method> methods = {
        {"set", "cp -r", nullptr, [&] { runShell("cp -r " + quoted(src) + " " + quoted(out)); }},
        {"set", "own copy", nullptr, [&] { engineRun(copy::TransferOwnCopy, "src", names, quiet); }},
        {"set", "system copy", nullptr, [&] { engineRun(copy::TransferSystemCopy, "src", names, quiet); }},
        {"move", "mv", linkMoving, [&] { runShell(moveByFolder); }},
        {"move", "system move", linkMoving,
         [&] { engineRun(copy::TransferSystemMove, "moving", names, quiet); }},
        {"big", "cp", [&] { fs::create_directories(out); },
         [&] { runShell("cp " + quoted(bigSrc / "big.mp3") + " " + quoted(out / "big.mp3")); }},
        {"big", "own copy", nullptr, [&] { engineRun(copy::TransferOwnCopy, "bigsrc", {"big.mp3"}, quiet); }},
        {"big", "own copy, 20 us a pass", nullptr,
         [&] { engineRun(copy::TransferOwnCopy, "bigsrc", {"big.mp3"}, busy); }},
        {"big", "system copy", nullptr,
         [&] { engineRun(copy::TransferSystemCopy, "bigsrc", {"big.mp3"}, quiet); }},
    };
    std::vector<std::vector<double>> times(methods.size());
    for (int r = 0; r < options.runs; ++r) {
        for (size_t k = 0; k < methods.size(); ++k) {
            size_t m = (k + static_cast<size_t>(r)) % methods.size();
            fs::remove_all(out);
            fs::remove_all(moving);
            if (methods[m].prepare) {
                methods[m].prepare();
            }
            ::sync();
            times[m].push_back(secondsOf(methods[m].timed));
            bool big = methods[m].group == "big";
            std::pair<int64_t, int64_t> expected{big ? 1 : options.files,
                                                 big ? bigBytes : fileBytes * options.files};
            if (filesAndBytes(out) != expected) {
                std::fprintf(stderr, "%s left a wrong result\n", methods[m].name.c_str());
                return 1;
            }
            std::fprintf(stderr, "run %d: %s, %s: %.3f s\n", r + 1, methods[m].group.c_str(),
                         methods[m].name.c_str(), times[m].back());
        }
    }
    // How often the window gets to process its messages during the big file's own copy, with the
    // clock's tick and with a clock that changes every millisecond.
    struct PassRate {
        int64_t tick;
        int64_t passes;
        double seconds;
    } rates[] = {{copy::SteadyClock::DefaultTick, 0, 0}, {1, 0, 0}};
    for (PassRate& rate : rates) {
        fs::remove_all(out);
        ::sync();
        QuietView counting(std::chrono::microseconds(20));
        rate.seconds =
            secondsOf([&] { engineRun(copy::TransferOwnCopy, "bigsrc", {"big.mp3"}, counting, rate.tick); });
        rate.passes = counting.passes;
    }
    fs::remove_all(out);
    fs::remove_all(moving);

    std::printf("%d files of %d MB in %d folders (%.0f MB), one file of %d MB; %d runs, medians\n\n",
                options.files, options.fileMb, options.folders, fileBytes * options.files / 1e6,
                options.bigMb, options.runs);
    std::printf("%-6s %-24s %10s %10s %14s %7s\n", "what", "method", "seconds", "MB/s", "speed vs peer",
                "goal");
    std::map<std::string, double> peer;
    for (size_t m = 0; m < methods.size(); ++m) {
        double seconds = median(times[m]);
        double bytes = methods[m].group == "big" ? bigBytes : static_cast<double>(fileBytes) * options.files;
        if (!peer.count(methods[m].group)) {
            peer[methods[m].group] = seconds;
        }
        // The own copy of the set is to keep up with cp -r.
        bool goal = methods[m].group == "set" && methods[m].name == "own copy";
        std::printf("%-6s %-24s %10.3f %10.0f %13.2fx %7s\n", methods[m].group.c_str(),
                    methods[m].name.c_str(), seconds, bytes / seconds / 1e6, peer[methods[m].group] / seconds,
                    goal ? ">= 0.95" : "-");
    }
    double chunkNs = progressCallCost();
    double chunkCopyNs = median(times[6]) / (bigBytes / static_cast<double>(copy::CopyStepSize)) * 1e9;
    std::printf(
        "\nprogress calls after one 128 KiB chunk: %.0f ns, %.2f%% of the chunk's copy time (%.0f ns)\n",
        chunkNs, 100 * chunkNs / chunkCopyNs, chunkCopyNs);
    for (const PassRate& rate : rates) {
        std::printf(
            "own copy of the big file, clock tick %lld ms, 20 us passes: %lld passes in %.2f s (%.0f a "
            "second, %.1f%% of the time)\n",
            static_cast<long long>(rate.tick), static_cast<long long>(rate.passes), rate.seconds,
            rate.passes / rate.seconds, 100 * rate.passes * 20e-6 / rate.seconds);
    }
    platform::unmountDrive(Drive);
    fs::remove_all(root);
    return 0;
}
