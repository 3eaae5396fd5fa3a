// The preview as the plan, in the real window on a real X server: every state a row can have,
// told the same way by the window and by the command line, and a list arranged by hand (a row
// moved with Alt+Down, the moves undone, a sort by a column's header, a shuffle undone, a row
// dragged to the top) copied in the order shown, its running numbers and the result playlist
// following that order. Saves a PNG of the preview at each step.
#include "window_fixture.h"
#include "window_steps.h"
#include "xvfb_server.h"

#include "app/track_list_model.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>

#include <sstream>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class PreviewPlanEndToEnd : public WindowTest {
protected:
    static void SetUpTestSuite() { xvfb = std::make_unique<e2e::XvfbServer>(); }
    static void TearDownTestSuite() { xvfb.reset(); }

    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QDir().mkpath(QStringLiteral(TW_SCREENSHOT_DIR));
    }

    // The window on the preview page: the playlist's entries flat in out/, with `limitMb`.
    std::unique_ptr<app::TForm1> previewOf(const std::string& playlist, const char* limitMb, bool numbered) {
        auto window = startWindow();
        window->resize(1100, 640);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->SetSourceKind(1);
        window->cbSource1->setEditText(QString::fromStdString(music.hostPath(playlist)));
        window->cbDest->setEditText(QString::fromStdString(music.hostPath("out")));
        window->cbDiv->setChecked(false);
        window->CheckBox1->setChecked(numbered);
        window->cb4->setChecked(numbered);
        window->cbAutoSizeLimit->setChecked(false);
        window->cbSizeLimit->setEditText(QString::fromUtf8(limitMb));
        window->PCL->setCurrentWidget(window->TS3);
        window->BNextClick();
        EXPECT_EQ(window->PCL->currentWidget(), window->TS4);
        return window;
    }

    void snapshot(app::TForm1& window, const char* name) {
        e2e::saveWindowShot(window, QString::fromLatin1(name));
    }

    static std::string cell(app::TForm1& window, int row, int column) {
        return window.PreviewRows->index(row, column).data().toString().toStdString();
    }
    // The destination names, row by row.
    static Lines destNames(app::TForm1& window) {
        Lines names;
        for (int row = 0; row < window.PreviewRows->rowCount(); ++row) {
            const std::string dest = cell(window, row, app::TrackListModel::DestColumn);
            names.push_back(dest.substr(dest.rfind('/') + 1));
        }
        return names;
    }
    static void selectOnly(app::TForm1& window, int row) {
        window.ListView1->selectionModel()->clearSelection();
        window.ListView1->selectionModel()->select(window.PreviewRows->index(row, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.ListView1->setFocus();
    }

    static std::unique_ptr<e2e::XvfbServer> xvfb;
    testsupport::TempDrive music{'D'};
};

std::unique_ptr<e2e::XvfbServer> PreviewPlanEndToEnd::xvfb;

// One playlist with a row of each kind: found, found elsewhere by the tail search, missing, and
// already at the destination past a 1 MB limit. The window's state column and totals line say
// what `tunewagon-cli --list` says of the same list, word for word.
TEST_F(PreviewPlanEndToEnd, StatesAreShownAsTheCommandLineTellsThem) {
    for (const char* name : {"01.mp3", "02.mp3", "03.mp3"}) {
        music.writeFile(std::string("lib/Music/Album/") + name, std::string(400000, name[1]));
    }
    music.writeFile("out/03.mp3", "older copy");
    music.writeFile("lib/Lists/p.m3u", "#EXTM3U\r\n../Music/Album/01.mp3\r\nE:\\Old\\Music\\Album\\02.mp3\r\n"
                                       "gone.mp3\r\n../Music/Album/03.mp3\r\n");
    auto window = previewOf("lib/Lists/p.m3u", "1", false);
    snapshot(*window, "preview-states");

    Lines states;
    for (int row = 0; row < window->PreviewRows->rowCount(); ++row) {
        states.push_back(cell(*window, row, app::TrackListModel::StateColumn));
    }
    EXPECT_EQ(states, (Lines{"", "найден в другом месте (в плейлисте: \"E:\\Old\\Music\\Album\\02.mp3\")",
                             "источник не найден",
                             "уже в приемнике: будет записан как \"03 (1).mp3\"; за пределом ограничения"}));
    EXPECT_TRUE(window->LabelTotals->isVisible());

    QProcess cli;
    cli.start(QStringLiteral(TUNEWAGON_CLI), {"--list", "--flat", "--limit", "1", "--playlist",
                                              QString::fromStdString(music.hostPath("lib/Lists/p.m3u")),
                                              QString::fromStdString(music.hostPath("out"))});
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    Lines cliStates;
    std::string cliTotals;
    std::istringstream lines(cli.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("# ")) {
            cliTotals = line.substr(2);
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string field; std::getline(cells, field, '\t');) {
            fields.push_back(field);
        }
        cliStates.push_back(fields.size() > 5 ? fields[5] : "");
    }
    EXPECT_EQ(cliStates, states);
    EXPECT_EQ(cliTotals, window->LabelTotals->text().toStdString());
}

// Arranged by hand, copied as shown: the running numbers follow every move, and the files and
// the result playlist come out in the order the preview last showed.
TEST_F(PreviewPlanEndToEnd, ArrangedListIsCopiedInTheOrderShown) {
    const std::pair<const char*, int> files[] = {
        {"a.mp3", 4000}, {"b.mp3", 1000}, {"c.mp3", 3000}, {"d.mp3", 2000}};
    std::string playlist = "#EXTM3U\r\n";
    for (const auto& [name, size] : files) {
        music.writeFile(std::string("lib/") + name, std::string(static_cast<size_t>(size), name[0]));
        playlist += std::string(name) + "\r\n";
    }
    music.writeFile("lib/list.m3u", playlist);
    auto window = previewOf("lib/list.m3u", "", true);
    ASSERT_EQ(destNames(*window), (Lines{"0 a.mp3", "1 b.mp3", "2 c.mp3", "3 d.mp3"}));

    selectOnly(*window, 0);
    QTest::keyClick(window->ListView1, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(destNames(*window), (Lines{"0 b.mp3", "1 a.mp3", "2 c.mp3", "3 d.mp3"}));
    EXPECT_TRUE(window->ListView1->selectionModel()->isRowSelected(1, {}));
    QTest::keyClick(window->ListView1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(destNames(*window), (Lines{"0 a.mp3", "1 b.mp3", "2 c.mp3", "3 d.mp3"}));

    QHeaderView* header = window->ListView1->header();
    const int sizeColumn = app::TrackListModel::SizeColumn;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(sizeColumn) + 5, header->height() / 2));
    EXPECT_EQ(destNames(*window), (Lines{"0 b.mp3", "1 d.mp3", "2 c.mp3", "3 a.mp3"}));
    snapshot(*window, "preview-sorted");

    QTest::mouseClick(window->ButtonShuffle, Qt::LeftButton);
    Lines shuffled = destNames(*window);
    for (size_t i = 0; i < shuffled.size(); ++i) {
        EXPECT_TRUE(shuffled[i].starts_with(std::to_string(i) + " ")) << shuffled[i];
    }
    ASSERT_TRUE(window->ButtonUndo->isEnabled());
    QTest::mouseClick(window->ButtonUndo, Qt::LeftButton);
    EXPECT_EQ(destNames(*window), (Lines{"0 b.mp3", "1 d.mp3", "2 c.mp3", "3 a.mp3"}));

    // A drag of the last row onto the first lands it on top.
    selectOnly(*window, 3);
    std::unique_ptr<QMimeData> dragged(window->PreviewRows->mimeData({window->PreviewRows->index(3, 0)}));
    window->PreviewRows->dropMimeData(dragged.get(), Qt::MoveAction, 0, 0, {});
    EXPECT_EQ(destNames(*window), (Lines{"0 a.mp3", "1 b.mp3", "2 d.mp3", "3 c.mp3"}));
    snapshot(*window, "preview-arranged");

    QTest::mouseClick(window->BNext, Qt::LeftButton);
    EXPECT_EQ(testsupport::filesUnder(music, "out"),
              (Lines{"0 a.mp3", "1 b.mp3", "2 d.mp3", "3 c.mp3", "_playlist_.m3u"}));
    EXPECT_EQ(music.readFile("out/2 d.mp3"), std::string(2000, 'd'));
    Lines played;
    std::istringstream lines(music.readFile("out/_playlist_.m3u"));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#') {
            played.push_back(line.substr(0, line.find('\r')));
        }
    }
    EXPECT_EQ(played, (Lines{"0 a.mp3", "1 b.mp3", "2 d.mp3", "3 c.mp3"}));
}

// "3 мин" typed as the limit over five one-minute tracks: the bar weighs the playing time, the
// fourth and fifth rows lie past it, and the time column and the totals give the lengths.
TEST_F(PreviewPlanEndToEnd, TimeLimitWeighsThePlayingTime) {
    std::string playlist = "#EXTM3U\r\n";
    for (int i = 1; i <= 5; ++i) {
        music.writeFile("cd/" + std::to_string(i) + ".mp3", std::string(1000, 'x'));
        playlist += "#EXTINF:60,Track " + std::to_string(i) + "\r\n" + std::to_string(i) + ".mp3\r\n";
    }
    music.writeFile("cd/list.m3u", playlist);
    auto window = previewOf("cd/list.m3u", "3 мин", false);
    snapshot(*window, "preview-time-limit");
    EXPECT_EQ(window->Label4->text().toStdString(), "167%  -  5:00/3:00");
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(cell(*window, row, app::TrackListModel::TimeColumn), "1:00");
        EXPECT_EQ(cell(*window, row, app::TrackListModel::StateColumn),
                  row >= 3 ? "за пределом ограничения" : "");
    }
    EXPECT_NE(window->LabelTotals->text().toStdString().find(", время: 5:00;"), std::string::npos)
        << window->LabelTotals->text().toStdString();
}

} // namespace
} // namespace apptest
