// The destination typed in any form the file calls accept ("/" separators, mixed ones, a
// trailing one, a drive-relative form): the window's list building and copy run put every
// file inside that folder, with renaming by description and its invalid-name fix on.
#include "window_fixture.h"

#include "app/widgets.h"
#include "platform/drives.h"
#include "support/file_checks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

struct DestCase {
    std::string typed;   // cbDest
    std::string landsIn; // the folder on D: that gets the files, "/"-separated
};

// Each destination's files and playlist, and nothing anywhere else on the drive (the current
// folder D:\Work included, where a destination cut into a relative name would put them).
TEST_F(WindowTest, EveryFileLandsInsideTheDestinationAsTyped) {
    testsupport::TempDrive music{'D'};
    music.writeFile("src/Album/a.mp3", "a");
    music.writeFile("src/Album/b.mp3", "b");
    music.makeFolder("Work");
    ASSERT_TRUE(platform::setCurrentFolder("D:\\Work"));
    const DestCase cases[] = {
        {"Z:" + music.hostRoot() + "/out/z", "out/z/"}, {"D:/out/slash", "out/slash/"},
        {"D:\\out/mixed\\sub", "out/mixed/sub/"},       {"D:\\out\\trailing\\", "out/trailing/"},
        {"D:/out/./x/../dots/", "out/dots/"},           {"D:rel", "Work/rel/"},
        {music.hostRoot() + "/out/host/", "out/host/"},
    };
    for (const DestCase& c : cases) {
        auto window = startWindow();
        window->SetSourceKind(2);
        window->cbSource2->setEditText(QStringLiteral("D:\\src"));
        window->cbDest->setEditText(QString::fromStdString(c.typed));
        window->CheckBox1->setChecked(true);
        window->cb2->setChecked(true);
        window->cbDiv->setChecked(true);
        window->seDiv->setValue(1);
        window->chCreateList->setChecked(true);
        window->RadioGroup1->setItemIndex(1);
        window->ApplySizeLimit();
        window->FillPreviewList();
        window->CopyRun();

        std::vector<std::string> files;
        for (const std::string& path : testsupport::filesUnder(music)) {
            if (!path.ends_with('/') && !path.starts_with("src/")) {
                files.push_back(path);
            }
        }
        const std::vector<std::string> expected = {c.landsIn + "Album/a.mp3", c.landsIn + "Album/b.mp3",
                                                   c.landsIn + "_playlist_.m3u"};
        EXPECT_EQ(files, expected) << c.typed;
        EXPECT_EQ(music.readFile(c.landsIn + "Album/a.mp3"), "a") << c.typed;
        std::filesystem::remove_all(music.hostPath("out"));
        std::filesystem::remove_all(music.hostPath("Work/rel"));
    }
}

// A picked folder shows in its field as the host path it is, and that path as typed is the same
// destination: the playlist's folder and the preview's columns name host paths too.
TEST_F(WindowTest, FieldsAndPreviewShowHostPaths) {
    testsupport::TempDrive music{'D'};
    // The drive's helpers take no ":" in a name.
    std::filesystem::create_directories(music.hostPath("src") + "/Live: Moscow");
    std::ofstream(music.hostPath("src") + "/Live: Moscow/a.mp3") << "a";
    auto window = startWindow();
    prompts.folderPicks = {"D:\\src", "D:\\out"};
    window->BitBtn4Click();
    window->Button1Click();
    EXPECT_EQ(window->cbSource2->currentText().toStdString(), music.hostRoot() + "/src");
    EXPECT_EQ(window->cbDest->currentText().toStdString(), music.hostRoot() + "/out");
    window->FillPreviewList();
    EXPECT_EQ(
        previewRows(*window),
        testsupport::withHostRoot(
            std::vector<std::string>{" | $D/src/Live: Moscow/a.mp3 | $D/out/Live: Moscow/a.mp3"}, music));
}

} // namespace
} // namespace apptest
