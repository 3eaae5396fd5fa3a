// Reading tags while a folder is listed, at 10,000 small real files (one short MP3 with an ID3v2
// tag made by gst-launch-1.0, copied under 10,000 names): the folder source with tags and a cold
// cache (every file read) beside a plain loop over TagLib's own FileRef (what a user would
// script), and with a warm cache (nothing read again) beside the folder source without tags.
// `find -printf %s` runs too, as the floor. Every side runs once to warm the page cache, then
// the sides take turns run by run; medians and the two ratios are printed.
//
//   bench_tags [runs] [only]   (default 5 runs; `only`: run just the sides whose name holds it,
//                               e.g. "warm" under a profiler)
#include "platform/drives.h"
#include "sources/source_choice.h"
#include "store/track_list.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int FileCount = 10'000;
constexpr int FilesPerFolder = 500;
constexpr char Drive = 'B';

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_tags: %s\n", what.c_str());
    std::exit(1);
}

void buildFixture(const std::string& root) {
    const std::string seed = root + "/seed.mp3";
    const std::string make =
        "gst-launch-1.0 -q audiotestsrc num-buffers=10 samplesperbuffer=1152 ! "
        "audio/x-raw,rate=44100,channels=1 ! audioconvert ! lamemp3enc ! "
        "taginject tags=\"artist=Artist,title=Title,album=Album\" ! id3v2mux ! filesink location='" +
        seed + "' > /dev/null 2>&1";
    if (std::system(make.c_str()) != 0 || !fs::exists(seed)) {
        fail("gst-launch-1.0 could not make the seed file (gstreamer1.0-plugins-good/ugly)");
    }
    for (int i = 0; i < FileCount; ++i) {
        const std::string folder = root + "/tree/Album " + std::to_string(i / FilesPerFolder);
        fs::create_directories(folder);
        fs::copy_file(seed, folder + "/" + std::to_string(i) + " Track.mp3");
    }
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void readFolder(bool tags, const std::string& cacheFolder) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    sources::SourceChoice choice;
    choice.kind = sources::FolderSource;
    choice.folderPath = std::string(1, Drive) + ":\\tree";
    sources::TagOptions options;
    options.readTags = tags;
    options.cacheFolder = cacheFolder;
    sources::readSource(listDb, choice, 0, nullptr, nullptr, options);
    if (store::trackCount(listDb) != FileCount) {
        fail("the list holds " + std::to_string(store::trackCount(listDb)) + " entries");
    }
}

void plainTagLibLoop(const std::string& root) {
    int described = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root + "/tree")) {
        if (entry.is_regular_file()) {
            TagLib::FileRef ref(entry.path().c_str(), true, TagLib::AudioProperties::Fast);
            described += !ref.isNull() && ref.tag() != nullptr && !ref.tag()->artist().isEmpty();
        }
    }
    if (described != FileCount) {
        fail("TagLib described " + std::to_string(described) + " files");
    }
}

struct Side {
    const char* name;
    std::function<void()> run;
    std::vector<double> times{};
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char pattern[] = "/tmp/tw-bench-tags-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        fail("cannot make a temporary folder");
    }
    const std::string root = pattern;
    std::printf("building %d tagged MP3 files in %s ...\n", FileCount, root.c_str());
    buildFixture(root);
    platform::mountDrive(Drive, root);
    const std::string coldCache = std::string(1, Drive) + ":\\cold";
    const std::string warmCache = std::string(1, Drive) + ":\\warm";
    fs::create_directories(root + "/cold");
    fs::create_directories(root + "/warm");

    std::vector<Side> sides = {
        {"find -printf %s",
         [&] {
             if (std::system(("find '" + root + "/tree' -type f -printf '%s\\n' > /dev/null").c_str()) != 0) {
                 fail("find failed");
             }
         }},
        {"folder, no tags", [] { readFolder(false, {}); }},
        {"TagLib FileRef loop", [&] { plainTagLibLoop(root); }},
        {"folder, tags, cold cache",
         [&] {
             fs::remove(root + "/cold/tags.cache");
             readFolder(true, coldCache);
         }},
        {"folder, tags, warm cache", [&] { readFolder(true, warmCache); }},
    };
    for (Side& side : sides) { // the page cache and the warm tag cache
        side.run();
    }
    const std::string only = argc > 2 ? argv[2] : "";
    for (int run = 0; run < runs; ++run) {
        for (Side& side : sides) {
            if (std::string(side.name).find(only) == std::string::npos) {
                side.times.push_back(0);
                continue;
            }
            side.times.push_back(millisecondsOf(side.run));
        }
    }
    std::printf("%d files, %d runs, medians in ms\n", FileCount, runs);
    std::vector<double> medians;
    for (const Side& side : sides) {
        medians.push_back(median(side.times));
        std::printf("  %-26s %10.1f\n", side.name, medians.back());
    }
    std::printf("cold cache / TagLib loop:    %.2f (goal <= 1.5)\n", medians[3] / medians[2]);
    std::printf("warm cache / folder, no tags: %.2f (goal <= 1.2)\n", medians[4] / medians[1]);
    std::printf("cache file: %ju bytes, %.0f bytes an entry\n",
                static_cast<uintmax_t>(fs::file_size(root + "/warm/tags.cache")),
                static_cast<double>(fs::file_size(root + "/warm/tags.cache")) / FileCount);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this process: %.1f MB\n", usage.ru_maxrss / 1024.0);

    platform::unmountDrive(Drive);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
