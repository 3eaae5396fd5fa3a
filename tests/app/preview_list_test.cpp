// Building the track list from the window and showing it in ListView1: the source and the
// naming options read from the controls, row i = entry i in three columns, the sources'
// messages and errors shown through the window's prompts.
#include "window_fixture.h"

#include "app/track_list_model.h"
#include "store/track_list.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class PreviewListTest : public WindowTest {
protected:
    // A window whose playlist source is D:\lists\<name> and whose destination is D:\out.
    std::unique_ptr<app::TForm1> windowFor(const std::string& playlist, const std::string& text) {
        music.writeFile("lists/" + playlist, text);
        auto window = startWindow();
        window->SetSourceKind(1);
        window->cbSource1->setEditText(QString::fromStdString(music.programPath("lists\\" + playlist)));
        window->cbDest->setEditText(QStringLiteral("D:\\out"));
        return window;
    }

    testsupport::TempDrive music{'D'};
};

const char* const ThreeEntries = "#EXTM3U\r\n"
                                 "#EXTINF:215,Artist - Title\r\n"
                                 "..\\music\\a.mp3\r\n"
                                 "..\\music\\b.mp3\r\n"
                                 "#EXTINF:-1,Другой - Песня\r\n"
                                 "D:\\music\\c.mp3\r\n";

// Building twice gives the list once; each row shows its entry, an entry without a
// description an empty first column. The rows arrive at once (one reset of the view per
// build) while the window's drawing is frozen.
TEST_F(PreviewListTest, RowsShowTheListOnceEntryByEntry) {
    auto window = windowFor("three.m3u", ThreeEntries);
    std::vector<std::pair<int, bool>> resets; // rows and drawing state at each reset
    QObject::connect(window->PreviewRows, &QAbstractItemModel::modelReset, window.get(),
                     [&] { resets.emplace_back(window->PreviewRows->rowCount(), window->updatesEnabled()); });
    window->FillPreviewList();
    window->FillPreviewList();
    const std::vector<std::pair<int, bool>> frozenFills = {{3, false}, {3, false}};
    EXPECT_EQ(resets, frozenFills);
    const Lines expected = testsupport::withHostRoot(
        {
            "Artist - Title | $D/music/a.mp3 | $D/out/music/a.mp3",
            " | $D/music/b.mp3 | $D/out/music/b.mp3",
            "Другой - Песня | $D/music/c.mp3 | $D/out/music/c.mp3",
        },
        music);
    EXPECT_EQ(previewRows(*window), expected);
    EXPECT_EQ(listEntries(*window), expected);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(window->updatesEnabled());
}

// A row whose source is not there is drawn in red with a tool tip that names the missing file;
// the others keep the view's colours and show their path as the tip.
TEST_F(PreviewListTest, MissingSourcesAreMarked) {
    auto window = windowFor("three.m3u", ThreeEntries);
    music.writeFile("music/a.mp3", "a");
    music.writeFile("music/c.mp3", "c");
    window->FillPreviewList();
    const QAbstractItemModel* model = window->ListView1->model();
    for (int row = 0; row < 3; ++row) {
        const QModelIndex source = model->index(row, app::TrackListModel::SourceColumn);
        const bool missing = row == 1;
        EXPECT_EQ(source.data(Qt::ForegroundRole).isValid(), missing) << row;
        const std::string tip = source.data(Qt::ToolTipRole).toString().toStdString();
        const std::string path = music.hostRoot() + (row == 1   ? "/music/b.mp3"
                                                     : row == 0 ? "/music/a.mp3"
                                                                : "/music/c.mp3");
        EXPECT_EQ(tip, missing ? "Файл не найден: " + path : path) << row;
    }
    EXPECT_EQ(model->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
}

// A playlist without its header shows row 122 and leaves the list and the preview empty,
// also after a good list was shown before.
TEST_F(PreviewListTest, PlaylistWithoutHeaderGivesAnEmptyPreview) {
    auto window = windowFor("three.m3u", ThreeEntries);
    window->FillPreviewList();
    ASSERT_EQ(previewRows(*window).size(), 3u);
    music.writeFile("lists/three.m3u", "D:\\music\\a.mp3\r\n");
    window->FillPreviewList();
    EXPECT_EQ(prompts.messages, Lines{"Выбранный вами файл не является плейлистом WinAmp'a"});
    EXPECT_TRUE(previewRows(*window).empty());
    EXPECT_EQ(store::trackCount(*window->ListDb), 0);
}

// The count of corrected names is shown only when renaming by description (cb2) is on and
// at least one name needed correcting; names taken from the files are never checked.
TEST_F(PreviewListTest, CorrectedNamesAreCountedOnlyWhenRenamingByDescription) {
    const char* const questionable = "#EXTM3U\r\n"
                                     "#EXTINF:1,What?\r\nwhat?.mp3\r\n"
                                     "#EXTINF:1,Star*\r\nstar*.mp3\r\n"
                                     "#EXTINF:1,Clean\r\nclean.mp3\r\n"
                                     "#EXTINF:1,Say <Hi>\r\nsay<hi>.mp3\r\n";
    const char* const clean = "#EXTM3U\r\n#EXTINF:1,One\r\none.mp3\r\n";
    const struct {
        const char* playlist;
        bool cb2;
        Lines messages;
    } cases[] = {
        {questionable, false, {}},
        {clean, true, {}},
        {questionable, true, {"Найдено и исправлено неверных имен файлов: 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cb2 ? "cb2 " : "") + c.playlist);
        prompts.messages.clear();
        auto window = windowFor("names.m3u", c.playlist);
        window->cb2->setChecked(c.cb2);
        window->FillPreviewList();
        EXPECT_EQ(prompts.messages, c.messages);
    }
}

// A playlist that cannot be opened ends the handler with the reader's message in an error
// box; the preview shows the list as it then is (empty, nothing to copy) and the window stays
// usable.
TEST_F(PreviewListTest, SourceErrorIsShownAtTheEdgeOfTheHandler) {
    auto window = windowFor("three.m3u", ThreeEntries);
    window->FillPreviewList();
    const Lines before = previewRows(*window);
    window->cbSource1->setEditText(QStringLiteral("D:\\lists\\missing.m3u"));
    QPushButton trigger;
    window->connectHandler(&trigger, &QPushButton::clicked, &app::TForm1::FillPreviewList);
    trigger.click();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors[0].rfind("Cannot open file \"" + music.hostRoot() + "/lists/missing.m3u\". ", 0),
              0u)
        << prompts.errors[0];
    ASSERT_EQ(before.size(), 3u);
    EXPECT_TRUE(previewRows(*window).empty());
    EXPECT_TRUE(listEntries(*window).empty());
    EXPECT_TRUE(window->updatesEnabled());
    EXPECT_TRUE(window->close());
}

// A line from another machine that the tail search found here is said once, with where.
TEST_F(PreviewListTest, LinesFoundElsewhereAreSaidOnce) {
    music.writeFile("Music/Artist/01.mp3", "x");
    auto window = windowFor("old.m3u", "#EXTM3U\r\nE:\\Music\\Artist\\01.mp3\r\n");
    window->FillPreviewList();
    EXPECT_EQ(listEntries(*window).size(), 1u);
    EXPECT_EQ(prompts.messages,
              (std::vector<std::string>{"Строка плейлиста \"E:\\Music\\Artist\\01.mp3\" найдена здесь: " +
                                        music.hostPath("Music/Artist/01.mp3")}));
}

// The context menu of a row: "Открыть папку" opens the folder of that row's source with the
// desktop's file manager.
TEST_F(PreviewListTest, ContextMenuOpensTheSourceFolder) {
    music.writeFile("music/b.mp3", "b");
    auto window = windowFor("three.m3u", ThreeEntries);
    window->show();
    window->FillPreviewList();
    std::vector<std::string> titles;
    QTimer::singleShot(0, [&titles] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions()) {
            titles.push_back(action->text().toStdString());
        }
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    window->showPreviewMenu(window->ListView1->visualRect(window->PreviewRows->index(1, 0)).center());
    EXPECT_EQ(titles, (std::vector<std::string>{"Открыть папку", "Воспроизвести"}));
    EXPECT_EQ(links.opened, (std::vector<std::string>{"file " + music.hostRoot() + "/music/"}));
    EXPECT_TRUE(window->ListView1->selectionModel()->isRowSelected(1, {}));
}

} // namespace
} // namespace apptest
