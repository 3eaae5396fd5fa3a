// The drives of a playlist from another machine, through the source page's dialog: the letters
// the chosen playlist names, a folder for each, checked, mounted and kept in "Drives".
#include "window_fixture.h"

#include "app/drive_mapping_dialog.h"
#include "platform/drives.h"
#include "store/store_value.h"
#include "support/temp_drive.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace apptest {
namespace {

// Runs `step` on the dialog as soon as it shows (it is modal, so the step cannot come after).
void onDialog(const std::function<void(app::DriveMappingDialog&)>& step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<app::DriveMappingDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        step(*dialog);
    });
}

std::string storedDrives(store::TfdbObject& conf) {
    store::StoreValue stored;
    conf.DSystem.ReadValue("Drives", store::StoreValue(), stored);
    return stored.toText();
}

// The playlist names E: and F:; the setting maps G:. A folder that does not exist is refused
// with a message and the dialog stays; once E: has a real folder, it is mounted and kept, F:
// left empty stays unmapped, and G: stays as it was.
TEST_F(WindowTest, DriveDialogMapsThePlaylistsLetters) {
    testsupport::SavedDriveTable savedTable;
    testsupport::TempDrive old{'E'};
    platform::unmountDrive('E');
    testsupport::TempDrive other{'G'};
    const std::string gFolder = other.hostRoot();
    platform::unmountDrive('G');
    {
        store::TfdbObject conf;
        conf.DSystem.WriteValue("Drives", store::StoreValue::fromText("G:=" + gFolder));
        ASSERT_LE(conf.Save(settingsPath(), 0), 0);
    }
    drive.writeFile("party.m3u", "#EXTM3U\r\nE:\\Music\\a.mp3\r\nf:\\b.mp3\r\nZ:\\tmp\\c.mp3\r\n");
    auto window = startWindow();
    window->cbSource1->setEditText(QString::fromStdString(drive.hostPath("party.m3u")));

    bool refused = false;
    onDialog([&](app::DriveMappingDialog& dialog) {
        ASSERT_NE(dialog.folderField('E'), nullptr);
        ASSERT_NE(dialog.folderField('F'), nullptr);
        EXPECT_EQ(dialog.folderField('G')->text().toStdString(), gFolder);
        EXPECT_EQ(dialog.folderField('Z'), nullptr);
        dialog.folderField('E')->setText(QString::fromStdString(old.hostRoot() + "/missing"));
        dialog.accept();
        refused = dialog.isVisible();
        dialog.folderField('E')->setText(QString::fromStdString(old.hostRoot()));
        dialog.accept();
    });
    window->drivesClick();
    EXPECT_TRUE(refused);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "Папка \"" + old.hostRoot() + "/missing\" для диска E: не найдена.");
    EXPECT_EQ(platform::driveHostFolder('E'), std::optional<std::string>(old.hostRoot()));
    EXPECT_FALSE(platform::driveHostFolder('F').has_value());
    EXPECT_EQ(platform::driveHostFolder('G'), std::optional<std::string>(gFolder));

    ASSERT_TRUE(window->close());
    store::TfdbObject conf;
    ASSERT_LE(loadSettingsFile(conf), 0);
    EXPECT_EQ(storedDrives(conf), "E:=" + old.hostRoot() + ";G:=" + gFolder);
}

// Cancel changes nothing; a playlist that names no other drive, with none mapped, gets a word
// instead of an empty dialog.
TEST_F(WindowTest, DriveDialogCancelledOrNotNeeded) {
    testsupport::SavedDriveTable savedTable;
    drive.writeFile("here.m3u", "#EXTM3U\nZ:\\tmp\\a.mp3\n");
    drive.writeFile("there.m3u", "#EXTM3U\nK:\\a.mp3\n");
    auto window = startWindow();
    window->cbSource1->setEditText(QString::fromStdString(drive.hostPath("here.m3u")));
    window->drivesClick();
    EXPECT_EQ(prompts.messages,
              (std::vector<std::string>{
                  "Выбранный плейлист не называет других дисков, и другие диски не подключены."}));
    window->cbSource1->setEditText(QString::fromStdString(drive.hostPath("there.m3u")));
    onDialog([&](app::DriveMappingDialog& dialog) {
        dialog.folderField('K')->setText(QString::fromStdString(drive.hostRoot()));
        dialog.reject();
    });
    window->drivesClick();
    EXPECT_FALSE(platform::driveHostFolder('K').has_value());
}

} // namespace
} // namespace apptest
