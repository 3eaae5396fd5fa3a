// From a playlist of 100,000 entries to the preview page, step by step: reading the playlist,
// naming every entry, fixing invalid names and walking the named list once (the floor of any
// fill), all on a store of their own; then the window's BuildTrackList, showTrackList and the
// first paint of the preview page. Beside the
// window's list, its peer: a QTreeWidget with one item per row (three texts each), filled and
// painted the same way, which is what a list without a model costs. Steps are interleaved
// run by run; medians are printed, and the ratio of the window's fill and paint to the peer's.
//
//   bench_preview [runs [entries]]     (default 5 runs of 100000 entries)
//   bench_preview --memory             peak memory for 100,000 and 1,000,000 entries
//
// The memory mode runs the program once more for each size, so that each peak (the maximum
// resident set, as the system reports it for a finished process) belongs to that size alone: the
// window shown with its fixture, then the playlist read, named and shown on the preview page. It
// prints the peak, the growth over the window alone, and that growth per entry, which stays flat
// when memory grows linearly.
//
// Runs headless (QT_QPA_PLATFORM=offscreen unless a platform is set). The playlist's files do
// not exist: no size limit is set, so nothing is measured on disk.
#include "app/main_window.h"
#include "app/unattended_prompts.h"
#include "app/widgets.h"
#include "plan/naming.h"
#include "platform/drives.h"
#include "sources/source_choice.h"
#include "store/object_model.h"
#include "store/track_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QStackedWidget>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const Steps[] = {
    "core: read playlist", "core: ComputeDestNames", "core: FixInvalidNames",
    "core: walk the list", "window: BuildTrackList", "window: showTrackList",
    "window: first paint", "peer QTreeWidget: fill", "peer QTreeWidget: first paint",
};

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// "#EXTM3U", then per entry an info line and a relative file line; every tenth description
// holds a "?", so the invalid-name fix has work to do.
void writePlaylist(const fs::path& path, int entries) {
    std::ofstream out(path, std::ios::binary);
    out << "#EXTM3U\r\n";
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        out << "#EXTINF:" << 180 + i % 200 << ",Исполнитель " << n << " - Песня " << n
            << (i % 10 == 0 ? "?" : "") << "\r\n";
        out << "Music\\Исполнитель " << i % 500 << "\\Альбом " << i % 37 << "\\" << n << " Track.mp3\r\n";
    }
}

plan::NamingOptions namingOptions() {
    plan::NamingOptions options;
    options.destFolder = "D:\\Сборник";
    options.renameByDescription = true;
    return options;
}

// The core's steps on a store of their own: read, name, fix.
void runCore(const std::string& playlist, std::map<std::string, std::vector<double>>& times) {
    store::TfdbObject listDb([](const std::string&) {});
    store::createTrackListLayout(listDb);
    sources::SourceChoice source;
    source.kind = sources::PlaylistSource;
    source.playlistPath = playlist;
    const plan::NamingOptions naming = namingOptions();
    times[Steps[0]].push_back(millisecondsOf([&] { sources::readSource(listDb, source, 0, {}); }));
    times[Steps[1]].push_back(millisecondsOf([&] { plan::ComputeDestNames(listDb, naming); }));
    int fixed = 0;
    times[Steps[2]].push_back(millisecondsOf([&] { fixed = plan::FixInvalidNames(listDb, naming); }));
    size_t characters = 0;
    times[Steps[3]].push_back(millisecondsOf([&] {
        store::forEachTrackEntry(listDb, [&characters](int, const store::TrackEntry& entry) {
            characters += entry.Desc.size() + entry.OrigFileName.size() + entry.FileName.size();
        });
    }));
    if (fixed == 0 || characters == 0) {
        std::fprintf(stderr, "the core run went wrong\n");
        std::exit(1);
    }
}

// The window's own steps, the list shown on the preview page and painted once.
void runWindow(app::TForm1& window, int entries, std::map<std::string, std::vector<double>>& times) {
    times[Steps[4]].push_back(millisecondsOf([&] { window.BuildTrackList(); }));
    times[Steps[5]].push_back(millisecondsOf([&] { window.showTrackList(); }));
    times[Steps[6]].push_back(millisecondsOf([&] { window.grab(); }));
    if (window.ListView1->model()->rowCount() != entries) {
        std::fprintf(stderr, "the window shows %d rows\n", window.ListView1->model()->rowCount());
        std::exit(1);
    }
}

// The peer: the same rows as one QTreeWidgetItem each, added while drawing is frozen.
void runPeer(app::TForm1& window, std::map<std::string, std::vector<double>>& times) {
    QTreeWidget peer;
    peer.setColumnCount(3);
    peer.setRootIsDecorated(false);
    peer.setUniformRowHeights(true);
    peer.resize(window.ListView1->size());
    peer.show();
    times[Steps[7]].push_back(millisecondsOf([&] {
        const app::DrawingFreeze freeze(&peer);
        QList<QTreeWidgetItem*> items;
        store::forEachTrackEntry(*window.ListDb, [&items](int, const store::TrackEntry& entry) {
            items.append(new QTreeWidgetItem({QString::fromStdString(entry.Desc),
                                              QString::fromStdString(entry.OrigFileName),
                                              QString::fromStdString(entry.FileName)}));
        });
        peer.addTopLevelItems(items);
    }));
    times[Steps[8]].push_back(millisecondsOf([&] { peer.grab(); }));
}

// A playlist of `entries` on a drive D: of its own and the window on the preview page, with the
// source and options that BuildTrackList reads; the folder goes with the object.
struct PreviewFixture {
    fs::path folder;
    app::UnattendedPrompts prompts; // the count message of the invalid-name fix waits for no one
    std::unique_ptr<app::TForm1> window;

    explicit PreviewFixture(int entries) {
        char folderTemplate[] = "/tmp/bench_preview.XXXXXX";
        if (::mkdtemp(folderTemplate) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder = folderTemplate;
        platform::mountDrive('D', folder.string());
        writePlaylist(folder / "list.m3u", entries);
        app::WindowSetup setup;
        setup.settingsPath = "D:\\conf.fdb"; // never written: the window is not closed
        setup.prompts = &prompts;
        window = std::make_unique<app::TForm1>(setup);
        window->SetSourceKind(sources::PlaylistSource);
        window->cbSource1->setEditText(QString::fromStdString(playlist()));
        window->cbDest->setEditText(QString::fromStdString(namingOptions().destFolder));
        window->cb2->setChecked(true);
        window->PCL->setCurrentWidget(window->TS4);
        window->show();
        QApplication::processEvents();
    }
    ~PreviewFixture() {
        window.reset();
        platform::unmountDrive('D');
        fs::remove_all(folder);
    }
    static std::string playlist() { return "D:\\list.m3u"; }
};

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The child's side of --memory: prints the peak before and after the preview is built and shown.
int memoryChild(int entries) {
    PreviewFixture fixture(entries);
    const long before = peakKilobytes();
    fixture.window->BuildTrackList();
    fixture.window->showTrackList();
    fixture.window->grab();
    if (fixture.window->ListView1->model()->rowCount() != entries) {
        return 1;
    }
    std::printf("%ld %ld\n", before, peakKilobytes());
    return 0;
}

// Runs this program with --memory-child for each size and prints what each run reports.
int memoryReport(const char* self) {
    std::printf("%10s %14s %14s %16s\n", "entries", "peak MB", "growth MB", "bytes per entry");
    for (int entries : {100000, 1000000}) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) {
            return 1;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            const std::string count = std::to_string(entries);
            ::execl(self, self, "--memory-child", count.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        char text[64] = {};
        const ssize_t got = ::read(pipeFds[0], text, sizeof text - 1);
        ::close(pipeFds[0]);
        int status = 0;
        rusage usage{};
        long before = 0, after = 0;
        if (child < 0 || ::wait4(child, &status, 0, &usage) != child || status != 0 || got <= 0 ||
            std::sscanf(text, "%ld %ld", &before, &after) != 2) {
            std::fprintf(stderr, "the run of %d entries failed\n", entries);
            return 1;
        }
        const double growth = static_cast<double>(usage.ru_maxrss - before) * 1024;
        std::printf("%10d %14.1f %14.1f %16.0f\n", entries, usage.ru_maxrss / 1024.0, growth / 1048576,
                    growth / entries);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc > 1 && std::string(argv[1]) == "--memory") {
        return memoryReport("/proc/self/exe");
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    if (argc > 2 && std::string(argv[1]) == "--memory-child") {
        return memoryChild(std::max(1, std::atoi(argv[2])));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int entries = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100000;
    PreviewFixture fixture(entries);
    app::TForm1& window = *fixture.window;
    const std::string playlist = PreviewFixture::playlist();

    std::map<std::string, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        runCore(playlist, times);
        runWindow(window, entries, times);
        runPeer(window, times);
    }

    std::printf("%d entries, %d runs, median ms\n", entries, runs);
    for (const char* step : Steps) {
        std::printf("  %-32s %9.1f\n", step, median(times[step]));
    }
    const double ours = median(times[Steps[5]]) + median(times[Steps[6]]);
    const double peer = median(times[Steps[7]]) + median(times[Steps[8]]);
    std::printf("  fill and first paint: window %.1f ms, QTreeWidget %.1f ms, ratio %.3f\n", ours, peer,
                ours / peer);
    std::printf("  from playlist to painted preview (window): %.1f ms\n", median(times[Steps[4]]) + ours);

    return 0;
}
