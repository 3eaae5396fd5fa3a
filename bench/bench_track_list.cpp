// The track list's four operations at 10,000 and 100,000 entries, to show that their cost
// grows linearly: append N entries, walk them all, remove every second one, rebuild (throw
// the rest away). Beside each step, the same work on a plain std::vector<TrackEntry> gives
// the floor that any list must pay. Sizes are interleaved run by run; medians are printed.
//
//   bench_track_list [runs [sizes...]]     (default 7 runs of 10000, 100000 and 200000 entries)
//
// From 10,000 to 100,000 entries the cost per entry rises for the plain vector too: the data
// leaves the processor's caches. Linear growth shows from 100,000 to 200,000 (a ratio near 2).
#include "store/track_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>

using namespace store;
using Clock = std::chrono::steady_clock;

namespace {

const char* const stepNames[] = {"append", "walk", "remove every 2nd", "rebuild"};
constexpr int stepCount = 4;

TrackEntry sampleEntry(int i) {
    std::string n = std::to_string(i);
    return {"D:\\Music\\Artist " + n + "\\Album\\" + n + " Track.mp3", "", "Artist " + n + " - Track " + n,
            3500000 + i, 200 + i % 100};
}

double millisecondsOf(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<int> everySecondPosition(int count) {
    std::vector<int> positions;
    for (int p = 0; p < count; p += 2) {
        positions.push_back(p);
    }
    return positions;
}

// One run of the four steps on the store; times in ms, in step order.
std::vector<double> runStore(int count) {
    TfdbObject listDb([](const std::string&) {});
    createTrackListLayout(listDb);
    std::vector<double> times;
    int64_t checksum = 0;
    times.push_back(millisecondsOf([&] {
        for (int i = 0; i < count; ++i) {
            appendTrackEntry(listDb, sampleEntry(i));
        }
    }));
    times.push_back(millisecondsOf([&] {
        forEachTrackEntry(listDb,
                          [&](int, const TrackEntry& e) { checksum += e.Size + e.OrigFileName.size(); });
    }));
    times.push_back(millisecondsOf([&] { removeTrackEntries(listDb, everySecondPosition(count)); }));
    times.push_back(millisecondsOf([&] { rebuildTrackList(listDb); }));
    if (checksum == 0 || trackCount(listDb) != 0) {
        std::fprintf(stderr, "the store run went wrong\n");
        std::exit(1);
    }
    return times;
}

// The same four steps on a plain vector.
std::vector<double> runVector(int count) {
    std::vector<TrackEntry> list;
    std::vector<double> times;
    int64_t checksum = 0;
    times.push_back(millisecondsOf([&] {
        for (int i = 0; i < count; ++i) {
            list.push_back(sampleEntry(i));
        }
    }));
    times.push_back(millisecondsOf([&] {
        for (const TrackEntry& e : list) {
            TrackEntry copy = e; // the store's walk hands out copies too
            checksum += copy.Size + copy.OrigFileName.size();
        }
    }));
    times.push_back(millisecondsOf([&] {
        std::vector<bool> removed(list.size(), false);
        for (int p : everySecondPosition(count)) {
            removed[p] = true;
        }
        size_t i = 0;
        std::erase_if(list, [&](const TrackEntry&) { return removed[i++]; });
    }));
    times.push_back(millisecondsOf([&] { std::vector<TrackEntry>().swap(list); }));
    if (checksum == 0) {
        std::exit(1);
    }
    return times;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        sizes.push_back(std::max(2, std::atoi(argv[i])));
    }
    if (sizes.empty()) {
        sizes = {10000, 100000, 200000};
    }
    // samples[{size, side}][step] = times of every run; side 0 = store, 1 = vector.
    std::map<std::pair<int, int>, std::vector<std::vector<double>>> samples;
    for (int run = 0; run < runs; ++run) {
        for (int size : sizes) {
            for (int side = 0; side < 2; ++side) {
                std::vector<double> times = side == 0 ? runStore(size) : runVector(size);
                auto& bySteps = samples[{size, side}];
                bySteps.resize(stepCount);
                for (int step = 0; step < stepCount; ++step) {
                    bySteps[step].push_back(times[step]);
                }
            }
        }
    }
    std::printf(
        "track list, median of %d runs: ms (ns per entry); ratio = time / time at the previous size\n", runs);
    for (int step = 0; step < stepCount; ++step) {
        std::printf("\n%s\n", stepNames[step]);
        double previous[2] = {0, 0};
        for (int size : sizes) {
            std::printf("  %8d entries", size);
            for (int side = 0; side < 2; ++side) {
                double ms = median(samples[{size, side}][step]);
                std::printf("   %s %9.2f (%5.0f ns)", side == 0 ? "store" : "vector", ms, ms * 1e6 / size);
                if (previous[side] > 0) {
                    std::printf(" x%-5.1f", ms / previous[side]);
                } else {
                    std::printf("       ");
                }
                previous[side] = ms;
            }
            std::printf("\n");
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak resident memory: %.1f MB (all runs)\n", usage.ru_maxrss / 1024.0);
    return 0;
}
