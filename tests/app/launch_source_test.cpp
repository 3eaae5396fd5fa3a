// A source handed to the window from outside: the command line's paths and a drop from a file
// manager each start the source page with that source chosen.
#include "window_fixture.h"

#include "app/widgets.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QUrl>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class LaunchSourceTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        music.writeFile("Сборник.m3u", "a.mp3\r\n");
        for (const char* name : {"Музыка/a.mp3", "Музыка/b.avi", "Музыка/c.mp3"}) {
            music.writeFile(name, "x");
        }
    }

    testsupport::TempDrive music{'D'};
};

// A playlist and a folder given as the program's arguments (host paths), shown in their fields
// as those host paths.
TEST_F(LaunchSourceTest, PlaylistOrFolderArgument) {
    auto playlist = startWindow();
    playlist->openWithSource({music.hostPath("Сборник.m3u")});
    EXPECT_EQ(playlist->PCL->currentWidget(), playlist->TS2);
    EXPECT_EQ(playlist->cbSource1->currentText().toStdString(), music.hostPath("Сборник.m3u"));
    EXPECT_TRUE(playlist->RadioButton1->isChecked());
    EXPECT_EQ(playlist->Shell.SourceKind, 1);
    EXPECT_FALSE(playlist->BPrev->isHidden());

    auto folder = startWindow();
    folder->openWithSource({music.hostPath("Музыка")});
    EXPECT_EQ(folder->PCL->currentWidget(), folder->TS2);
    EXPECT_EQ(folder->cbSource2->currentText().toStdString(), music.hostPath("Музыка"));
    EXPECT_EQ(folder->Shell.SourceKind, 2);

    auto none = startWindow();
    none->openWithSource({});
    EXPECT_EQ(none->PCL->currentWidget(), none->TS0);
}

// Three files dropped onto the source page become the picked files; a drop elsewhere does
// nothing.
TEST_F(LaunchSourceTest, DropOfThreeFilesOnTheSourcePage) {
    auto window = startWindow();
    window->show();
    QMimeData data;
    QList<QUrl> urls;
    for (const char* name : {"Музыка/a.mp3", "Музыка/b.avi", "Музыка/c.mp3"}) {
        urls << QUrl::fromLocalFile(QString::fromStdString(music.hostPath(name)));
    }
    data.setUrls(urls);
    // As a drag from outside arrives: it enters the window, then drops.
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &event);
    };
    drop();
    EXPECT_TRUE(window->OpenDialog2Files.empty());
    EXPECT_EQ(window->PCL->currentWidget(), window->TS0);

    window->StaticText1Click();
    drop();
    EXPECT_EQ(window->OpenDialog2Files,
              (Lines{"D:\\Музыка\\a.mp3", "D:\\Музыка\\b.avi", "D:\\Музыка\\c.mp3"}));
    EXPECT_EQ(window->Shell.SourceKind, 3);
    EXPECT_TRUE(window->RadioButton3->isChecked());
    EXPECT_EQ(window->PCL->currentWidget(), window->TS2);
}

} // namespace
} // namespace apptest
