// The wizard in the window, headless: the pickers of the source and destination pages, the
// source kind following the fields, the links and the About page, the limit bar and the
// removal of rows, and a list that cannot be built.
#include "window_fixture.h"

#include "app/track_list_model.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <filesystem>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

std::string textOf(const QComboBox* box) {
    return box->currentText().toStdString();
}

// Each picker puts its answer into its field and selects its source kind; a cancelled one
// changes nothing, but the picked files are forgotten as soon as their dialog opens.
TEST_F(WindowTest, PickersFillTheirFieldsAndChooseTheKind) {
    auto window = startWindow();
    window->SetSourceKind(2);
    prompts.filePicks = {std::nullopt, "D:\\lists\\Лето.m3u"};
    window->BitBtn3Click();
    EXPECT_EQ(textOf(window->cbSource1), "");
    EXPECT_EQ(window->Shell.SourceKind, 2);
    window->BitBtn3Click();
    EXPECT_EQ(textOf(window->cbSource1), "D:\\lists\\Лето.m3u");
    EXPECT_EQ(window->Shell.SourceKind, 1);
    EXPECT_TRUE(window->RadioButton1->isChecked());

    prompts.folderPicks = {std::nullopt, "D:\\Музыка", "D:\\out"};
    window->BitBtn4Click();
    EXPECT_EQ(window->Shell.SourceKind, 1);
    window->BitBtn4Click();
    EXPECT_EQ(textOf(window->cbSource2), "D:\\Музыка");
    EXPECT_EQ(window->Shell.SourceKind, 2);
    EXPECT_TRUE(window->RadioButton2->isChecked());
    window->Button1Click();
    EXPECT_EQ(textOf(window->cbDest), "D:\\out");
    EXPECT_EQ(prompts.folderTitles,
              (Lines{"Выберите источник", "Выберите источник", "Выберите папку приемника"}));

    prompts.multiFilePicks = {{"D:\\a.mp3", "D:\\b.avi"}, {}};
    window->BitBtn5Click();
    EXPECT_EQ(window->OpenDialog2Files, (Lines{"D:\\a.mp3", "D:\\b.avi"}));
    EXPECT_EQ(window->Shell.SourceKind, 3);
    EXPECT_TRUE(window->RadioButton3->isChecked());
    window->BitBtn5Click();
    EXPECT_TRUE(window->OpenDialog2Files.empty());
    EXPECT_EQ(window->Shell.SourceKind, 3);
}

// Typing into a source field selects its kind; a click on a radio button selects its own.
TEST_F(WindowTest, SourceFieldsAndRadioButtonsChooseTheKind) {
    auto window = startWindow();
    window->show();
    window->PCL->setCurrentWidget(window->TS2);
    QTest::keyClicks(window->cbSource2, QStringLiteral("D:\\M"));
    EXPECT_EQ(window->Shell.SourceKind, 2);
    EXPECT_TRUE(window->RadioButton2->isChecked());
    QTest::keyClicks(window->cbSource1, QStringLiteral("a"));
    EXPECT_EQ(window->Shell.SourceKind, 1);
    const auto clickIndicator = [](QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    };
    clickIndicator(window->RadioButton3);
    EXPECT_EQ(window->Shell.SourceKind, 3);
    clickIndicator(window->RadioButton2);
    EXPECT_EQ(window->Shell.SourceKind, 2);
}

// The links open their rows' addresses; the start page's links change the page.
TEST_F(WindowTest, LinksOpenTheirAddressesAndPages) {
    auto window = startWindow();
    window->show();
    QTest::mouseClick(window->StaticText1, Qt::LeftButton);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS2);
    QTest::mouseClick(window->BPrev, Qt::LeftButton);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS0);
    for (QWidget* link :
         std::initializer_list<QWidget*>{window->StaticText3, window->StaticText4, window->StaticText6,
                                         window->StaticText8, window->Label24}) {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    QTest::mouseClick(window->StaticText2, Qt::LeftButton);
    EXPECT_EQ(window->PCL->currentWidget(), window->TSA);
    EXPECT_TRUE(window->BNext->isHidden());
    QTest::mouseClick(window->Image3, Qt::LeftButton);
    EXPECT_EQ(links.opened,
              (Lines{"http://brightmoor.example/?from=tunewagon&ver=4.2 RC&lang=ru",
                     "http://brightmoor.example/?go=tunewagon&from=tunewagon&ver=4.2 RC&lang=ru",
                     "mailto:tunewagon@brightmoor.example?subj=Tunewagon%204.2%20RC",
                     "http://brightmoor.example/forum.php?f5f=7&from=Tunewagon4.2 RC",
                     "mailto:tunewagon@brightmoor.example?subj=Tunewagon%204.2%20RC",
                     "http://brightmoor.example/?from=tunewagon&ver=4.2 RC&lang=ru"}));
    EXPECT_TRUE(window->Image3->cursor().shape() == Qt::PointingHandCursor);
    EXPECT_TRUE(window->Label24->cursor().shape() == Qt::PointingHandCursor);
}

// The About page shows the item store's description, the same each time it is shown.
TEST_F(WindowTest, AboutPageShowsTheSameDescriptionEachTime) {
    auto window = startWindow();
    window->StaticText2Click();
    const QString first = window->Label25->text();
    EXPECT_TRUE(first.startsWith(QStringLiteral("fdb module:\nTunewagon item store")));
    EXPECT_TRUE(first.contains(QStringLiteral(", fdbObjectModel v1.37 D4BD\nhttp")));
    window->BPrevClick();
    window->StaticText2Click();
    EXPECT_EQ(window->Label25->text(), first);
}

class LimitBarTest : public WindowTest {
protected:
    // Five files of 100, 200, 300, 400 and 500 thousand bytes, built into the preview with a
    // limit of `limitMb` megabytes by Next on the destination page.
    std::unique_ptr<app::TForm1> previewWithLimit(const char* limitMb) {
        for (int i = 1; i <= 5; ++i) {
            music.writeFile("music/" + std::to_string(i) + ".mp3", std::string(i * 100000, 'x'));
        }
        auto window = startWindow();
        window->resize(720, 560);
        window->show();
        window->SetSourceKind(2);
        window->cbSource2->setEditText(QStringLiteral("D:\\music"));
        window->cbDest->setEditText(QStringLiteral("D:\\out"));
        window->cbAutoSizeLimit->setChecked(false);
        window->cbSizeLimit->setEditText(QString::fromLatin1(limitMb));
        window->PCL->setCurrentWidget(window->TS3);
        window->BNextClick();
        EXPECT_EQ(window->PCL->currentWidget(), window->TS4);
        return window;
    }

    void select(app::TForm1& window, std::initializer_list<int> rows) {
        window.ListView1->selectionModel()->clearSelection();
        for (int row : rows) {
            window.ListView1->selectionModel()->select(
                window.PreviewRows->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    int innerWidth(const app::TForm1& window) const { return window.LimitBar->contentsRect().width() - 2; }
    QColor barColor(const app::TForm1& window) const {
        return window.LimitBar->palette().color(QPalette::Window);
    }

    testsupport::TempDrive music{'D'};
    // A volume that gives no allocation unit: the bar counts the bytes of the files.
    VolumeFactsOnDrive volume{music, platform::volumeFactsOfKind(platform::VolumeKind::Posix)};
};

// Rows 2 and 4 of five go with their entries; the rest keep their order, row i still entry i,
// and the bar follows: 150 % of 1 MB in light red, then 90 % in white.
TEST_F(LimitBarTest, RemovingRowsTwoAndFourUpdatesTheBar) {
    auto window = previewWithLimit("1");
    EXPECT_TRUE(window->LimitBar->isVisible());
    EXPECT_EQ(barColor(*window), QColor(250, 116, 116));
    EXPECT_EQ(window->Label4->text().toStdString(), "150%  -  1500 Кб/1000 Кб");
    EXPECT_EQ(window->Label4->toolTip().toStdString(), "150%  -  1500000/1000000");
    EXPECT_EQ(window->LimitBarShape->width(), innerWidth(*window) * 2 / 3);

    select(*window, {1, 3});
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(listEntries(*window), testsupport::withHostRoot({" | $D/music/1.mp3 | $D/out/music/1.mp3",
                                                               " | $D/music/3.mp3 | $D/out/music/3.mp3",
                                                               " | $D/music/5.mp3 | $D/out/music/5.mp3"},
                                                              music));
    EXPECT_EQ(previewRows(*window), listEntries(*window));
    EXPECT_EQ(barColor(*window), QColor(255, 255, 255));
    EXPECT_EQ(window->Label4->text().toStdString(), "90%  -  900 Кб/1000 Кб");
    EXPECT_EQ(window->LimitBarShape->width(), innerWidth(*window) * 9 / 10);
}

// Nothing selected removes nothing and still draws the bar; everything selected empties the
// list and hides the bar; without a limit the bar is hidden from the start.
TEST_F(LimitBarTest, NoneOrAllSelectedAndNoLimit) {
    auto window = previewWithLimit("3");
    select(*window, {});
    window->Label4->clear();
    window->Button2Click();
    EXPECT_EQ(listEntries(*window).size(), 5u);
    EXPECT_EQ(window->Label4->text().toStdString(), "50%  -  1500 Кб/3000 Кб");
    EXPECT_EQ(window->LimitBarShape->width(), innerWidth(*window) / 2);

    select(*window, {0, 1, 2, 3, 4});
    window->Button2Click();
    EXPECT_TRUE(listEntries(*window).empty());
    EXPECT_TRUE(previewRows(*window).empty());
    EXPECT_FALSE(window->LimitBar->isVisible());

    auto unlimited = previewWithLimit("");
    EXPECT_EQ(unlimited->SizeLimit, 0);
    EXPECT_FALSE(unlimited->LimitBar->isVisible());
}

// A playlist that cannot be read: its message is shown, and the destination page comes back
// with both buttons usable and no stale rows in the preview.
TEST_F(WindowTest, ListThatCannotBeBuiltReturnsToTheDestinationPage) {
    testsupport::TempDrive music{'D'};
    music.writeFile("music/a.mp3", "a");
    auto window = startWindow();
    window->show();
    window->SetSourceKind(2);
    window->cbSource2->setEditText(QStringLiteral("D:\\music"));
    window->cbDest->setEditText(QStringLiteral("D:\\out"));
    window->PCL->setCurrentWidget(window->TS3);
    window->BNextClick();
    ASSERT_EQ(previewRows(*window).size(), 1u);

    window->BPrevClick();
    window->BPrevClick();
    // The playlist passes the source page, then goes before the list is built from it.
    window->SetSourceKind(1);
    music.writeFile("lists/missing.m3u", "music\\a.mp3\r\n");
    window->cbSource1->setEditText(QStringLiteral("D:\\lists\\missing.m3u"));
    window->BNextClick();
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    std::filesystem::remove(music.hostPath("lists/missing.m3u"));
    QTest::mouseClick(window->BNext, Qt::LeftButton); // the guarded handler shows the error
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find("missing.m3u"), std::string::npos);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS3);
    EXPECT_TRUE(window->BNext->isEnabled() && window->BPrev->isEnabled());
    EXPECT_TRUE(previewRows(*window).empty());
    EXPECT_TRUE(listEntries(*window).empty());
}

} // namespace
} // namespace apptest
