// From a playlist of 100,000 entries to the preview page, step by step: reading the playlist,
// naming every entry, fixing invalid names and walking the named list once (the floor of any
// fill), all on a store of their own; then the window's BuildTrackList, ShowTrackList and the
// first paint of the preview page. Beside the
// window's list, its peer: a QTreeWidget with one item per row (three texts each), filled and
// painted the same way, which is what a list without a model costs. Steps are interleaved
// run by run; medians are printed, and the ratio of the window's fill and paint to the peer's.
//
//   bench_preview [runs [entries]]     (default 5 runs of 100000 entries)
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
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const Steps[] = {
    "core: read playlist", "core: ComputeDestNames", "core: FixInvalidNames",
    "core: walk the list", "window: BuildTrackList", "window: ShowTrackList",
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
    times[Steps[0]].push_back(millisecondsOf([&] { sources::ReadSource(listDb, source, 0, {}); }));
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
    times[Steps[5]].push_back(millisecondsOf([&] { window.ShowTrackList(); }));
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

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int entries = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    char folderTemplate[] = "/tmp/bench_preview.XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    platform::mountDrive('D', folder.string());
    writePlaylist(folder / "list.m3u", entries);
    const std::string playlist = "D:\\list.m3u";

    // The count message of the invalid-name fix must not wait for a person.
    app::UnattendedPrompts prompts;
    app::WindowSetup setup;
    setup.settingsPath = "D:\\conf.fdb"; // never written: the window is not closed
    setup.prompts = &prompts;
    app::TForm1 window(setup);
    window.SetSourceKind(sources::PlaylistSource);
    window.cbSource1->setEditText(QString::fromStdString(playlist));
    window.cbDest->setEditText(QString::fromStdString(namingOptions().destFolder));
    window.cb2->setChecked(true);
    window.PCL->setCurrentWidget(window.TS4);
    window.show();
    QApplication::processEvents();

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

    platform::unmountDrive('D');
    fs::remove_all(folder);
    return 0;
}
