// The preview tells what the destination volume will refuse before the copy: a list built onto
// a FAT32 stick marks the rows whose entries it refuses, with the reasons as tool tips, counts
// them under the list, keeps the marks in step when rows go, and the limit bar counts the
// clusters the files will take. The verify box reaches the run's options and is kept.
#include "window_fixture.h"

#include "app/track_list_model.h"
#include "app/widgets.h"
#include "platform/drives.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStackedWidget>

#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

using Marks = std::vector<std::pair<int, std::string>>;

class VolumeCheckTest : public WindowTest {
protected:
    // The files at `hostPaths`, picked and built onto E:\stick by Next on the destination page, all in one
    // folder, refused characters replaced by "_" (cb5), with a limit of `limitMb` megabytes ("" = none, so
    // the sizes stay unknown until the check measures them).
    std::unique_ptr<app::TForm1> previewOnStick(const std::vector<std::string>& hostPaths,
                                                const char* limitMb) {
        auto window = startWindow();
        window->SetSourceKind(3);
        for (const std::string& path : hostPaths) {
            window->OpenDialog2Files.push_back(platform::toProgramPath(path));
        }
        window->cbDest->setEditText(QStringLiteral("E:\\stick"));
        window->cbDiv->setChecked(false);
        window->cb5->setCurrentIndex(2);
        window->cbAutoSizeLimit->setChecked(false);
        window->cbSizeLimit->setEditText(QString::fromLatin1(limitMb));
        window->PCL->setCurrentWidget(window->TS3);
        window->BNextClick();
        EXPECT_EQ(window->PCL->currentWidget(), window->TS4);
        return window;
    }

    // The host paths of six sources that a FAT32 stick takes issue with and one that it takes
    // as it is. "a:b.mp3" is a plain name here; the big file is sparse.
    std::vector<std::string> troublesomeSources() {
        const std::string one = music.hostRoot() + "/one/";
        const std::string two = music.hostRoot() + "/two/";
        const std::vector<std::string> paths = {one + "CON.mp3", one + "a:b.mp3",  one + "Track.",
                                                one + "A.mp3",   one + "fine.mp3", two + "a.mp3",
                                                one + "big.mp3"};
        std::filesystem::create_directories(one);
        std::filesystem::create_directories(two);
        for (const std::string& path : paths) {
            std::ofstream(path, std::ios::binary) << std::string(1000, 'x');
        }
        std::filesystem::resize_file(one + "big.mp3", 4500000000);
        return paths;
    }

    // The marked rows with their reasons, read as a person reads them: the tool tip of the
    // first column, whose own text (the description) is empty for picked files.
    static Marks marksOf(const app::TForm1& window) {
        Marks marks;
        const QAbstractItemModel* model = window.ListView1->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex first = model->index(row, 0);
            const bool marked = first.data(Qt::BackgroundRole).isValid();
            EXPECT_EQ(marked, !first.data(Qt::DecorationRole).value<QIcon>().isNull()) << row;
            if (marked) {
                marks.emplace_back(row, first.data(Qt::ToolTipRole).toString().toStdString());
            }
        }
        return marks;
    }

    static void removeRows(app::TForm1& window, std::initializer_list<int> rows) {
        window.ListView1->selectionModel()->clearSelection();
        for (int row : rows) {
            window.ListView1->selectionModel()->select(
                window.PreviewRows->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        window.Button2Click();
    }

    static std::string checkLine(const app::TForm1& window) {
        return window.LabelVolumeCheck->isHidden() ? "(hidden)"
                                                   : window.LabelVolumeCheck->text().toStdString();
    }

    testsupport::TempDrive music{'D'};
    testsupport::TempDrive stick{'E'};
    VolumeFactsOnDrive volume{stick, fat32Stick(32768)};
};

const char* const ConReason =
    "Имя недопустимо на томе FAT32: зарезервированное имя устройства (CON, PRN, AUX, "
    "NUL, COM1-9, LPT1-9); будет записано как \"CON_.mp3\"";
const char* const ColonReason = "Имя недопустимо на томе FAT32: недопустимый символ (\" * / : < > ? \\ |); "
                                "будет записано как \"a_b.mp3\"";
const char* const TrailingDotReason =
    "Имя недопустимо на томе FAT32: точка или пробел в конце имени; будет записано как \"Track\"";
const char* const CaseReason =
    "Имя отличается от \"A.mp3\" только регистром букв: на томе FAT32 это один файл; "
    "будет записано как \"a (1).mp3\"";
const char* const BigReason =
    "Файл больше, чем вмещает том FAT32: 4500000000 байт при наибольших 4294967295; он не будет скопирован";

// Each refused entry is marked with its reason, the clean one is not, and the line under the
// list counts them; the same whether the list measured the sizes (a limit) or the check did.
TEST_F(VolumeCheckTest, RefusedEntriesAreMarkedWithTheirReasons) {
    const std::vector<std::string> sources = troublesomeSources();
    for (const char* limit : {"", "5000"}) {
        SCOPED_TRACE(std::string("limit ") + limit);
        auto window = previewOnStick(sources, limit);
        EXPECT_EQ(
            marksOf(*window),
            (Marks{
                {0, ConReason}, {1, ColonReason}, {2, TrailingDotReason}, {5, CaseReason}, {6, BigReason}}));
        EXPECT_EQ(checkLine(*window),
                  "Не подходят для тома FAT32 как есть: 5 из 7 (причина - в подсказке отмеченной строки)");
        // The other columns keep their own tip below the reasons: the whole path.
        EXPECT_EQ(window->PreviewRows->index(0, app::TrackListModel::DestColumn)
                      .data(Qt::ToolTipRole)
                      .toString()
                      .toStdString(),
                  std::string(ConReason) + "\n\n" + stick.hostRoot() + "/stick/CON.mp3");
        EXPECT_EQ(window->PreviewRows->index(4, app::TrackListModel::DestColumn)
                      .data(Qt::ToolTipRole)
                      .toString()
                      .toStdString(),
                  stick.hostRoot() + "/stick/fine.mp3");
    }
}

// Removing the first of two names that differ in case ends the clash; removing a row when no
// clash is left moves the marks below it up with their rows; removing every marked row hides
// the line.
TEST_F(VolumeCheckTest, MarksFollowTheRemovalOfRows) {
    auto window = previewOnStick(troublesomeSources(), "");
    removeRows(*window, {3});
    EXPECT_EQ(marksOf(*window),
              (Marks{{0, ConReason}, {1, ColonReason}, {2, TrailingDotReason}, {5, BigReason}}));
    EXPECT_EQ(checkLine(*window),
              "Не подходят для тома FAT32 как есть: 4 из 6 (причина - в подсказке отмеченной строки)");

    removeRows(*window, {1});
    EXPECT_EQ(marksOf(*window), (Marks{{0, ConReason}, {1, TrailingDotReason}, {4, BigReason}}));
    EXPECT_EQ(checkLine(*window),
              "Не подходят для тома FAT32 как есть: 3 из 5 (причина - в подсказке отмеченной строки)");

    removeRows(*window, {0, 1, 4});
    EXPECT_TRUE(marksOf(*window).empty());
    EXPECT_EQ(checkLine(*window), "(hidden)");
}

// A hundred files of 1000 bytes take 100 clusters of 32 KiB: over 3 MB of free space, though
// their bytes are a thirtieth of it. The hint gives both totals; nothing is refused, so no line.
// A typed limit is weighed against the sum of the sizes, as the user reckons it.
TEST_F(VolumeCheckTest, LimitBarCountsTheClustersTheFilesTake) {
    std::vector<std::string> sources;
    for (int i = 0; i < 100; ++i) {
        music.writeFile("many/" + std::to_string(i) + ".mp3", std::string(1000, 'x'));
        sources.push_back(music.hostPath("many/" + std::to_string(i) + ".mp3"));
    }
    auto window = previewOnStick(sources, "3");
    EXPECT_EQ(window->Label4->text().toStdString(), "3%  -  100 Кб/3000 Кб");
    EXPECT_EQ(window->LimitBar->palette().color(QPalette::Window), QColor(255, 255, 255));
    // The same limit as the stick's free space.
    window->cbAutoSizeLimit->setChecked(true);
    window->UpdateLimitBar();
    EXPECT_EQ(window->Label4->text().toStdString(), "109%  -  3276 Кб/3000 Кб");
    EXPECT_EQ(window->Label4->toolTip().toStdString(),
              "109%  -  3276800/3000000\n"
              "Файлы: 100 Кб (100000 байт), на томе с кластером 32 Кб займут 3276 Кб (3276800 байт)");
    EXPECT_EQ(window->LimitBar->palette().color(QPalette::Window), QColor(250, 116, 116));
    EXPECT_EQ(checkLine(*window), "(hidden)");
}

// The verify and flush boxes and the treatment of refused characters reach the run's options.
TEST_F(WindowTest, VerifyFlushAndInvalidCharsReachTheRunOptions) {
    const struct {
        bool verify;
        bool flush;
        int cb5;
        plan::InvalidCharAction invalidChars;
    } cases[] = {
        {false, true, 0, plan::InvalidCharAction::Delete},
        {true, false, 1, plan::InvalidCharAction::ReplaceWithSpace},
        {true, true, 2, plan::InvalidCharAction::ReplaceWithUnderscore},
    };
    auto window = startWindow();
    EXPECT_FALSE(window->copyOptionsFromControls().Verify);
    EXPECT_FALSE(window->copyOptionsFromControls().FlushAlways);
    for (const auto& c : cases) {
        window->chVerify->setChecked(c.verify);
        window->chFlush->setChecked(c.flush);
        window->cb5->setCurrentIndex(c.cb5);
        const copy::CopyOptions options = window->copyOptionsFromControls();
        EXPECT_EQ(options.Verify, c.verify) << c.cb5;
        EXPECT_EQ(options.FlushAlways, c.flush) << c.cb5;
        EXPECT_EQ(options.InvalidChars, c.invalidChars) << c.cb5;
    }
}

} // namespace
} // namespace apptest
