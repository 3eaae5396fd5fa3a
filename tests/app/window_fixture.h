// Shared by the window tests: one QApplication for the test program, a prompts double that
// records what the window shows, and a fixture whose settings file lives on a temporary drive.
#pragma once

#include "app/desktop_links.h"
#include "app/main_window.h"
#include "app/track_list_model.h"
#include "app/translations.h"
#include "app/user_prompts.h"
#include "platform/shown_paths.h"
#include "platform/volume_facts.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "support/file_checks.h"
#include "support/temp_drive.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QStringList>
#include <QTreeView>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace apptest {

inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        auto* made = new QApplication(argc, argv);
        app::prepareApplication(*made);
        return made;
    }();
    return *application;
}

// Records every message and question; answers questions and pickers from scripts (No and
// "cancelled" once a script runs out).
class RecordingPrompts : public app::UserPrompts {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return takeFront(answers, false);
    }
    std::optional<std::string> pickExistingFile(const app::FileDialogOptions&) override {
        return takeFront(filePicks, std::optional<std::string>());
    }
    std::vector<std::string> pickExistingFiles(const app::FileDialogOptions&) override {
        return takeFront(multiFilePicks, std::vector<std::string>());
    }
    std::optional<std::string> pickFolder(const std::string& title, const std::string&) override {
        folderTitles.push_back(title);
        return takeFront(folderPicks, std::optional<std::string>());
    }

    std::vector<std::string> messages, errors, questions, folderTitles;
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> filePicks, folderPicks;
    std::deque<std::vector<std::string>> multiFilePicks;

private:
    template <typename T> static T takeFront(std::deque<T>& script, T fallback) {
        if (script.empty()) {
            return fallback;
        }
        T value = std::move(script.front());
        script.pop_front();
        return value;
    }
};

// Records what the window would open with the desktop's handlers.
class RecordingLinks : public app::LinkOpener {
public:
    void openAddress(const std::string& address) override { opened.push_back(address); }
    void openHostFile(const std::string& hostPath) override { opened.push_back("file " + hostPath); }

    std::vector<std::string> opened;
};

// Every row of ListView1 as "description | source | destination", the paths whole (the cells
// show them below the source's root and the destination folder): the source as the row's
// entry holds it, the destination as its cell's tool tip gives it.
inline std::vector<std::string> previewRows(const app::TForm1& window) {
    const QAbstractItemModel* model = window.ListView1->model();
    std::vector<std::string> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        // A marked row's tip leads with its reasons; the path is its last paragraph.
        const QString tip =
            model->index(row, app::TrackListModel::DestColumn).data(Qt::ToolTipRole).toString();
        rows.push_back(model->index(row, app::TrackListModel::DescColumn).data().toString().toStdString() +
                       " | " + platform::shownPath(window.PreviewRows->sourceAt(row)) + " | " +
                       tip.mid(tip.lastIndexOf(QStringLiteral("\n\n")) + 1).trimmed().toStdString());
    }
    return rows;
}

// The same for the entries of the track list, in list order.
inline std::vector<std::string> listEntries(app::TForm1& window) {
    std::vector<std::string> entries;
    store::forEachTrackEntry(*window.ListDb, [&entries](int, const store::TrackEntry& entry) {
        entries.push_back(entry.Desc + " | " + platform::shownPath(entry.OrigFileName) + " | " +
                          platform::shownPath(entry.FileName));
    });
    return entries;
}

// While it lives, every folder on `drive` lies on a volume with `facts` (a FAT32 stick, say);
// other folders ask the kernel.
class VolumeFactsOnDrive {
public:
    VolumeFactsOnDrive(const testsupport::TempDrive& drive, const platform::VolumeFacts& facts) {
        platform::setVolumeFactsForTesting(
            [root = drive.hostRoot(),
             facts](const std::string& folder) -> std::optional<platform::VolumeFacts> {
                if (folder == root || folder.starts_with(root + "/")) {
                    return facts;
                }
                return std::nullopt;
            });
    }
    ~VolumeFactsOnDrive() { platform::setVolumeFactsForTesting({}); }
    VolumeFactsOnDrive(const VolumeFactsOnDrive&) = delete;
    VolumeFactsOnDrive& operator=(const VolumeFactsOnDrive&) = delete;
};

// The facts of a FAT32 stick with clusters of `allocationUnit` bytes.
inline platform::VolumeFacts fat32Stick(int64_t allocationUnit) {
    platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Fat32);
    facts.fsType = "vfat";
    facts.allocationUnit = allocationUnit;
    return facts;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }

    std::string settingsPath() const { return drive.programPath("conf.fdb"); }
    bool settingsFileExists() const { return drive.exists("conf.fdb"); }

    // A window as the program creates it, its settings file on the temporary drive.
    std::unique_ptr<app::TForm1> startWindow() {
        app::WindowSetup setup;
        setup.settingsPath = settingsPath();
        setup.prompts = &prompts;
        setup.links = &links;
        return std::make_unique<app::TForm1>(setup);
    }

    // The settings file as a store, loaded the way start-up loads it; the code of the load.
    int loadSettingsFile(store::TfdbObject& conf) const { return conf.Load(settingsPath(), 1); }

    testsupport::TempDrive drive{'S'};
    RecordingPrompts prompts;
    RecordingLinks links;
};

} // namespace apptest
