// Converting a folder of FLAC files to MP3 V2: 20 files of 30 s (pink noise, which the encoder
// finds as hard as music; made by gst-launch-1.0) through the conversion pool with two jobs at
// once, beside `ffmpeg -i X -q:a 2 Y` and the same GStreamer pipeline in gst-launch-1.0, each
// run file after file (what a user would script). The files are read once first so that every
// side finds them in the page cache; then the sides take turns run by run, and medians are
// printed with the wall-time ratio (goal: ffmpeg / pool >= 1.8 on two cores) and the processor
// time per file of the pool (getrusage of this process) against gst-launch-1.0's (getrusage of
// the children) (goal: <= 1.1). A side whose program is not installed is left out with a note.
//
//   bench_convert [runs]     (default 3)
#include "convert/conversion_pool.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int FileCount = 20;
constexpr int SecondsPerFile = 30;
constexpr unsigned PoolJobs = 2;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_convert: %s\n", what.c_str());
    std::exit(1);
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        fail("failed: " + command);
    }
}

bool installed(const std::string& program) {
    return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

std::string sourcePath(const std::string& root, int i) {
    return root + "/flac/track " + std::to_string(i) + ".flac";
}

std::string destPath(const std::string& root, int i) {
    return root + "/mp3/track " + std::to_string(i) + ".mp3";
}

void buildFixture(const std::string& root) {
    fs::create_directories(root + "/flac");
    const int buffers = SecondsPerFile * 10; // of 4,410 samples: 0.1 s each
    for (int i = 0; i < FileCount; ++i) {
        run("gst-launch-1.0 -q audiotestsrc wave=pink-noise volume=0.3 num-buffers=" +
            std::to_string(buffers) +
            " samplesperbuffer=4410 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! flacenc ! "
            "filesink location=" +
            quoted(sourcePath(root, i)) + " > /dev/null 2>&1");
    }
}

void readAll(const std::string& root) {
    std::vector<char> buffer(1 << 20);
    for (int i = 0; i < FileCount; ++i) {
        std::ifstream file(sourcePath(root, i), std::ios::binary);
        while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
        }
    }
}

void freshDestination(const std::string& root) {
    fs::remove_all(root + "/mp3");
    fs::create_directories(root + "/mp3");
}

void convertWithPool(const std::string& root) {
    convert::ConversionPool pool(PoolJobs);
    for (int i = 0; i < FileCount; ++i) {
        pool.submit(static_cast<size_t>(i), {.sourcePath = sourcePath(root, i),
                                             .destPath = destPath(root, i),
                                             .format = convert::defaultFormat(convert::ConvertTarget::Mp3),
                                             .flush = false});
    }
    for (int i = 0; i < FileCount; ++i) {
        const convert::ConvertResult result = pool.wait(static_cast<size_t>(i));
        if (!result.ok()) {
            fail("the pool failed on file " + std::to_string(i) + ": " + result.message);
        }
    }
}

#ifdef TUNEWAGON_CLI
// The whole program: the folder read (with its tags), the preview, the run with its log, the
// conversions on two workers.
void convertWithProgram(const std::string& root) {
    run(quoted(TUNEWAGON_CLI) + " --folder " + quoted(root + "/flac") +
        " --flat --no-playlist --convert mp3:v2 --jobs " + std::to_string(PoolJobs) + " " +
        quoted(root + "/mp3") + " > /dev/null");
}
#endif

void convertWithFfmpeg(const std::string& root) {
    for (int i = 0; i < FileCount; ++i) {
        run("ffmpeg -nostdin -v error -y -i " + quoted(sourcePath(root, i)) + " -q:a 2 " +
            quoted(destPath(root, i)));
    }
}

void convertWithGstLaunchFrom(const std::string& root, int first, int step) {
    for (int i = first; i < FileCount; i += step) {
        run("gst-launch-1.0 -q filesrc location=" + quoted(sourcePath(root, i)) +
            " ! decodebin ! audioconvert ! audioresample ! lamemp3enc target=quality quality=2 ! id3v2mux ! "
            "filesink location=" +
            quoted(destPath(root, i)) + " > /dev/null");
    }
}

void convertWithGstLaunch(const std::string& root) {
    convertWithGstLaunchFrom(root, 0, 1);
}

// Two gst-launch-1.0 loops side by side, each on every other file: what two separate processes
// get out of this machine's cores, the ceiling for two workers in one process.
void convertWithTwoGstLaunchLoops(const std::string& root) {
    std::thread other([&root] { convertWithGstLaunchFrom(root, 1, 2); });
    convertWithGstLaunchFrom(root, 0, 2);
    other.join();
}

double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Side {
    const char* name;
    std::function<void(const std::string&)> convert;
    int rusageWho = RUSAGE_SELF; // whose processor time the side spends
    std::vector<double> wallMs{};
    std::vector<double> cpuMsPerFile{};
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char pattern[] = "/tmp/tw-bench-convert-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        fail("cannot make a temporary folder");
    }
    const std::string root = pattern;
    std::printf("building %d FLAC files of %d s in %s ...\n", FileCount, SecondsPerFile, root.c_str());
    buildFixture(root);
    if (auto missing = convert::missingEncoder(convert::defaultFormat(convert::ConvertTarget::Mp3))) {
        fail("GStreamer has no " + missing->element + " (" + missing->package + ")");
    }

    std::vector<Side> sides;
    sides.push_back({"pool, 2 jobs", convertWithPool, RUSAGE_SELF});
#ifdef TUNEWAGON_CLI
    sides.push_back({"tunewagon-cli --jobs 2", convertWithProgram, RUSAGE_CHILDREN});
#endif
    if (installed("ffmpeg")) {
        sides.push_back({"ffmpeg, one by one", convertWithFfmpeg, RUSAGE_CHILDREN});
    } else {
        std::printf("note: ffmpeg is not installed; its row is left out\n");
    }
    sides.push_back({"gst-launch, two loops", convertWithTwoGstLaunchLoops, RUSAGE_CHILDREN});
    sides.push_back({"gst-launch, one by one", convertWithGstLaunch, RUSAGE_CHILDREN});

    readAll(root);
    for (int round = 0; round < runs; ++round) {
        for (Side& side : sides) {
            freshDestination(root);
            const double cpuBefore = cpuSeconds(side.rusageWho);
            const auto start = Clock::now();
            side.convert(root);
            side.wallMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            side.cpuMsPerFile.push_back((cpuSeconds(side.rusageWho) - cpuBefore) * 1000 / FileCount);
        }
    }
    // The last side's files are whole: each plays its source's length.
    for (int i = 0; i < FileCount; ++i) {
        const auto length = convert::mediaLengthMs(destPath(root, i));
        if (!length || std::abs(*length - SecondsPerFile * 1000) > 1000) {
            fail("file " + std::to_string(i) + " converted to a wrong length");
        }
    }

    std::printf("%d files of %d s into MP3 V2, %d runs, %u processors, medians\n", FileCount, SecondsPerFile,
                runs, std::thread::hardware_concurrency());
    std::printf("  %-24s %10s %14s\n", "", "wall ms", "CPU ms a file");
    for (const Side& side : sides) {
        std::printf("  %-24s %10.0f %14.0f\n", side.name, median(side.wallMs), median(side.cpuMsPerFile));
    }
    const double poolWall = median(sides.front().wallMs);
    const auto sideNamed = [&sides](std::string_view start) -> const Side* {
        for (const Side& side : sides) {
            if (std::string_view(side.name).starts_with(start)) {
                return &side;
            }
        }
        return nullptr;
    };
    const Side* ffmpeg = sideNamed("ffmpeg");
    const Side* program = sideNamed("tunewagon-cli");
    if (ffmpeg) {
        std::printf("ffmpeg one by one / pool (wall):      %.2f (goal >= 1.8)\n",
                    median(ffmpeg->wallMs) / poolWall);
    }
    if (ffmpeg && program) {
        std::printf("ffmpeg one by one / program (wall):   %.2f (goal >= 1.8)\n",
                    median(ffmpeg->wallMs) / median(program->wallMs));
    }
    if (const Side* twoLoops = sideNamed("gst-launch, two loops")) {
        std::printf("gst-launch one by one / two loops:    %.2f (what two processes gain here)\n",
                    median(sides.back().wallMs) / median(twoLoops->wallMs));
    }
    std::printf("pool / gst-launch (CPU a file):       %.2f (goal <= 1.1)\n",
                median(sides.front().cpuMsPerFile) / median(sides.back().cpuMsPerFile));

    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
