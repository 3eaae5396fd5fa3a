// The whole job in the real window on a real X server, clicked through as a person would:
// the start page, the source page with a playlist and then a folder, the destination page
// with a size limit, the preview (two rows removed, the bar following), the run, Back, and a
// second run over the same list. Checks the list, the bar, the log and the files on disk, and
// saves a PNG of what the screen shows at each step. Paths are typed and picked, and shown in
// the fields, the preview and the log, as host paths.
#include "window_fixture.h"
#include "window_steps.h"
#include "xvfb_server.h"

#include "app/qt_user_prompts.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "support/file_checks.h"
#include "support/null_audio_server.h"
#include "support/wav_file.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class WizardEndToEnd : public WindowTest {
protected:
    static void SetUpTestSuite() {
        audio = std::make_unique<testsupport::NullAudioServer>();
        xvfb = std::make_unique<e2e::XvfbServer>();
    }

    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QDir().mkpath(QStringLiteral(TW_SCREENSHOT_DIR));
        // The first song is real sound, 300000 bytes like the others, for the player.
        music.writeFile("Музыка/Альбом/01 Песня.mp3", testsupport::toneWav((300000 - 44) / 2));
        for (int i = 2; i <= 5; ++i) {
            music.writeFile("Музыка/Альбом/0" + std::to_string(i) + " Песня.mp3",
                            std::string(300000, char('0' + i)));
        }
        music.writeFile("Сборник.m3u", "#EXTM3U\r\n"
                                       "#EXTINF:215,Ансамбль - Первая\r\n"
                                       "Музыка\\Альбом\\01 Песня.mp3\r\n"
                                       "#EXTINF:187,Ансамбль - Третья\r\n"
                                       "Музыка\\Альбом\\03 Песня.mp3\r\n"
                                       "#EXTINF:240,Ансамбль - Пятая\r\n"
                                       "Музыка\\Альбом\\05 Песня.mp3\r\n");
    }

    // What the X server shows of the window, as a person would see it.
    void snapshot(app::TForm1& window, const char* name) {
        e2e::saveWindowShot(window, QString::fromLatin1(name));
    }

    static void click(QWidget* control) { e2e::clickAsPerson(control); }

    // Replaces what a field shows by typing, as a person selects the text and types over it.
    static void typeInto(QComboBox* box, const QString& text) {
        box->lineEdit()->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
        // One key event per character, Cyrillic ones included (keyClicks takes ASCII only).
        for (const QChar character : text) {
            QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
        }
    }

    // Clicks a row of the preview, with Ctrl to add it to the selection.
    static void clickRow(app::TForm1& window, int row, Qt::KeyboardModifiers keys) {
        const QRect cell = window.ListView1->visualRect(window.PreviewRows->index(row, 0));
        QTest::mouseClick(window.ListView1->viewport(), Qt::LeftButton, keys, cell.center());
    }

    // The window and the tool tip that `control` shows for `point`, asked the
    // way a resting pointer asks it (without a window manager the window is never active, and
    // Qt shows tool tips only for an active one). The tip lies outside the window itself.
    static void snapshotToolTip(app::TForm1& window, QWidget* control, QPoint point, const char* name) {
        QTest::mouseMove(control, point);
        QHelpEvent rest(QEvent::ToolTip, point, control->mapToGlobal(point));
        QApplication::sendEvent(control, &rest);
        EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000)) << name;
        QTest::qWait(200);
        QRect area = window.frameGeometry();
        for (const QWidget* shown : QApplication::topLevelWidgets()) {
            if (shown->inherits("QTipLabel") && shown->isVisible()) {
                area = area.united(shown->geometry());
            }
        }
        const QPixmap shot =
            QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString path = QStringLiteral(TW_SCREENSHOT_DIR "/") + QString::fromLatin1(name) + ".png";
        EXPECT_TRUE(shot.save(path)) << path.toStdString();
        QToolTip::hideText();
    }

    // Whether `box` holds the window's focus (without a window manager the window is never
    // active, so the focus is the window's own record of it).
    static bool focusedOn(const app::TForm1& window, const QComboBox* box) {
        const QWidget* focused = window.focusWidget();
        return focused == box || focused == box->lineEdit();
    }

    static std::string lastLogLines(const app::TForm1& window, int count) {
        const QStringList lines = window.Memo1->toPlainText().split(QLatin1Char('\n'));
        return lines.mid(lines.size() - count).join(QLatin1Char('|')).toStdString();
    }

    static std::unique_ptr<testsupport::NullAudioServer> audio;
    static std::unique_ptr<e2e::XvfbServer> xvfb;
    testsupport::TempDrive music{'D'};
};

std::unique_ptr<testsupport::NullAudioServer> WizardEndToEnd::audio;
std::unique_ptr<e2e::XvfbServer> WizardEndToEnd::xvfb;

TEST_F(WizardEndToEnd, FromTheStartPageToASecondRun) {
    // The drive lies on a volume of 4 KiB blocks; the limit is typed, so the bar weighs the
    // sum of the sizes against it all the same.
    platform::VolumeFacts blocks = platform::volumeFactsOfKind(platform::VolumeKind::Posix);
    blocks.allocationUnit = 4096;
    VolumeFactsOnDrive volume{music, blocks};
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    // Start page: Next leads to the source page, Back returns, the link leads there too.
    EXPECT_EQ(window->PCL->currentWidget(), window->TS0);
    EXPECT_TRUE(window->BPrev->isHidden());
    snapshot(*window, "01-start");
    click(window->BNext);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS2);
    click(window->BPrev);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS0);
    click(window->StaticText1);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS2);

    // Source page: Next refuses an empty playlist field; typing a playlist chooses that kind.
    window->SetSourceKind(2);
    click(window->BNext);
    EXPECT_EQ(prompts.messages, (Lines{"Выберите источник!"}));
    typeInto(window->cbSource1, QString::fromStdString(music.hostRoot() + "/Сборник.m3u"));
    EXPECT_TRUE(window->RadioButton1->isChecked());
    snapshot(*window, "02-source-playlist");
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);

    // Destination page with a typed limit of 1 MB.
    click(window->BNext);
    EXPECT_EQ(prompts.messages.back(), "Выберите папку приемника!");
    typeInto(window->cbDest, QString::fromStdString(music.hostRoot() + "/Копии"));
    if (window->cbAutoSizeLimit->isChecked()) {
        click(window->cbAutoSizeLimit);
    }
    typeInto(window->cbSizeLimit, QStringLiteral("1"));
    snapshot(*window, "03-destination");
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);
    EXPECT_EQ(previewRows(*window),
              testsupport::withHostRoot(
                  Lines{"Ансамбль - Первая | $D/Музыка/Альбом/01 Песня.mp3 | $D/Копии/Альбом/01 Песня.mp3",
                        "Ансамбль - Третья | $D/Музыка/Альбом/03 Песня.mp3 | $D/Копии/Альбом/03 Песня.mp3",
                        "Ансамбль - Пятая | $D/Музыка/Альбом/05 Песня.mp3 | $D/Копии/Альбом/05 Песня.mp3"},
                  music));
    EXPECT_EQ(window->Label4->text().toStdString(), "90%  -  900 Кб/1000 Кб");
    EXPECT_EQ(window->Label4->toolTip().toStdString(), "90%  -  900000/1000000");
    EXPECT_TRUE(window->LabelVolumeCheck->isHidden());
    snapshot(*window, "04-preview-playlist");

    // Back to the source page for the folder: five files, over the limit.
    click(window->BPrev);
    click(window->BPrev);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS2);
    click(window->RadioButton2);
    prompts.folderPicks = {"D:\\Музыка"};
    click(window->BitBtn4);
    EXPECT_EQ(window->cbSource2->currentText().toStdString(), music.hostRoot() + "/Музыка");
    EXPECT_EQ(window->Shell.SourceKind, 2);
    click(window->BNext);
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);
    EXPECT_EQ(previewRows(*window).size(), 5u);
    EXPECT_TRUE(window->LimitBar->isVisible());
    EXPECT_EQ(window->LimitBar->palette().color(QPalette::Window), QColor(250, 116, 116));
    EXPECT_EQ(window->Label4->text().toStdString(), "150%  -  1500 Кб/1000 Кб");
    snapshot(*window, "05-preview-folder");

    // The first song played from the preview; Next below stops it.
    clickRow(*window, 0, Qt::NoModifier);
    click(window->Button1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->mps->text().startsWith(QStringLiteral("Playing> ")); }, 15000))
        << window->mps->text().toStdString();
    EXPECT_TRUE(window->mps->text().endsWith(QStringLiteral(" / 0:18"))) << window->mps->text().toStdString();
    EXPECT_EQ(window->TB->maximum(), 18747);
    snapshot(*window, "05b-playing");

    // Rows 2 and 4 removed: the bar turns white.
    clickRow(*window, 1, Qt::NoModifier);
    clickRow(*window, 3, Qt::ControlModifier);
    click(window->Button2);
    const Lines remaining =
        testsupport::withHostRoot(Lines{" | $D/Музыка/Альбом/01 Песня.mp3 | $D/Копии/Альбом/01 Песня.mp3",
                                        " | $D/Музыка/Альбом/03 Песня.mp3 | $D/Копии/Альбом/03 Песня.mp3",
                                        " | $D/Музыка/Альбом/05 Песня.mp3 | $D/Копии/Альбом/05 Песня.mp3"},
                                  music);
    EXPECT_EQ(previewRows(*window), remaining);
    EXPECT_EQ(listEntries(*window), remaining);
    EXPECT_EQ(window->LimitBar->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(window->Label4->text().toStdString(), "90%  -  900 Кб/1000 Кб");
    snapshot(*window, "06-preview-two-removed");

    // The run: the three files and the playlist land; the offer to open it is declined.
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TSP);
    EXPECT_EQ(window->Player->chosenFile(), "");
    EXPECT_EQ(window->TB->value(), 0);
    EXPECT_TRUE(window->BNext->isHidden());
    EXPECT_TRUE(window->BPrev->isEnabled());
    EXPECT_EQ(window->Button4->text(), QStringLiteral("Выход"));
    EXPECT_EQ(lastLogLines(*window, 3),
              "Копирование завершено.|Сохранение нового плейлиста: \"" + music.hostRoot() +
                  "/Копии/_playlist_.m3u\" ...|Скопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0");
    EXPECT_NE(window->Memo1->toPlainText().toStdString().find("  Копирование -> " + music.hostRoot() +
                                                              "/Копии/Альбом/03 Песня.mp3 ..."),
              std::string::npos);
    EXPECT_EQ(testsupport::filesUnder(music, "Копии"),
              (Lines{"_playlist_.m3u", "Альбом/", "Альбом/01 Песня.mp3", "Альбом/03 Песня.mp3",
                     "Альбом/05 Песня.mp3"}));
    EXPECT_EQ(music.readFile("Копии/Альбом/03 Песня.mp3"), std::string(300000, '3'));
    EXPECT_EQ(prompts.questions.size(), 1u);
    snapshot(*window, "07-progress-done");

    // Back shows the same list; Next runs it again, and the copies take numbered names.
    click(window->BPrev);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);
    EXPECT_EQ(previewRows(*window), remaining);
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TSP);
    EXPECT_EQ(testsupport::filesUnder(music, "Копии"),
              (Lines{"_playlist_.m3u", "Альбом/", "Альбом/01 Песня (1).mp3", "Альбом/01 Песня.mp3",
                     "Альбом/03 Песня (1).mp3", "Альбом/03 Песня.mp3", "Альбом/05 Песня (1).mp3",
                     "Альбом/05 Песня.mp3"}));
    EXPECT_EQ(music.readFile("Копии/Альбом/05 Песня (1).mp3"), std::string(300000, '5'));
    // The playlist lists the copies of this run under the names they got, relative to itself.
    EXPECT_EQ(music.readFile("Копии/_playlist_.m3u"),
              "#EXTM3U\r\nАльбом/01 Песня (1).mp3\r\nАльбом/03 Песня (1).mp3\r\nАльбом/05 Песня (1).mp3\r\n");
    snapshot(*window, "08-second-run");

    click(window->Button4);
    EXPECT_TRUE(window->closed());
}

// A collection put together for a player whose stick is FAT32: the preview marks what the stick
// will refuse (a device name, a colon, two names that differ only in case, a file over 4 GiB),
// says how many under the list, and the bar counts the stick's 32 KiB clusters. Removing the
// first of the two names that differ in case clears the other's mark.
TEST_F(WizardEndToEnd, PreviewShowsWhatAFat32StickRefuses) {
    testsupport::TempDrive stick{'E'};
    VolumeFactsOnDrive volume{stick, fat32Stick(32768)};
    const std::string folder = music.hostRoot() + "/Для плеера";
    std::filesystem::create_directories(folder + "/Диск 2");
    for (const char* name : {"/01 Вступление.mp3", "/CON.mp3", "/a:b.mp3", "/A.mp3", "/Диск 2/a.mp3",
                             "/Диск 2/02 Финал.mp3", "/Большой концерт.mp3"}) {
        std::ofstream(folder + name, std::ios::binary) << std::string(1000, 'x');
    }
    std::filesystem::resize_file(folder + "/Большой концерт.mp3", 4500000000);

    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click(window->StaticText1);
    click(window->RadioButton2);
    typeInto(window->cbSource2, QString::fromStdString(folder));
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    typeInto(window->cbDest, QString::fromStdString(stick.hostRoot() + "/Музыка"));
    if (window->cbDiv->isChecked()) {
        click(window->cbDiv);
    }
    if (window->cbAutoSizeLimit->isChecked()) {
        click(window->cbAutoSizeLimit);
    }
    typeInto(window->cbSizeLimit, QStringLiteral("9000"));
    click(window->chVerify);
    snapshot(*window, "09-destination-verify");
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);

    std::vector<std::string> marked;
    for (int row = 0; row < window->PreviewRows->rowCount(); ++row) {
        if (window->PreviewRows->index(row, 0).data(Qt::BackgroundRole).isValid()) {
            marked.push_back(window->PreviewRows->index(row, app::TrackListModel::DestColumn)
                                 .data()
                                 .toString()
                                 .toStdString());
        }
    }
    // The destination column shows each file below the destination folder.
    EXPECT_EQ(marked, (Lines{"a:b.mp3", "CON.mp3", "Большой концерт.mp3", "a.mp3"}));
    EXPECT_TRUE(window->LabelVolumeCheck->isVisible());
    EXPECT_EQ(window->LabelVolumeCheck->text().toStdString(),
              "Не подходят для тома FAT32 как есть: 4 из 7 (причина - в подсказке отмеченной строки)");
    EXPECT_EQ(window->Label4->text().toStdString(), "50%  -  4 Гб/9 Гб");
    EXPECT_TRUE(window->copyOptionsFromControls().Verify);
    snapshot(*window, "10-preview-fat32");

    const int bigRow = 4;
    const QRect cell = window->ListView1->visualRect(window->PreviewRows->index(bigRow, 2));
    snapshotToolTip(*window, window->ListView1->viewport(), cell.center(), "10b-preview-fat32-row-tip");
    snapshotToolTip(*window, window->Label4, window->Label4->rect().center(), "10c-limit-bar-hint");

    clickRow(*window, 1, Qt::NoModifier);
    click(window->Button2);
    EXPECT_EQ(window->LabelVolumeCheck->text().toStdString(),
              "Не подходят для тома FAT32 как есть: 3 из 6 (причина - в подсказке отмеченной строки)");
    snapshot(*window, "11-preview-fat32-row-removed");
}

// A source or destination that cannot work is refused on its own page, the message says why,
// the focus is on the field to mend, and the text never enters the history.
TEST_F(WizardEndToEnd, BadSourcesAndDestinationsAreRefusedOnTheirPage) {
    music.writeFile("Отчёт.txt", "text");
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click(window->StaticText1);

    typeInto(window->cbSource1, QString::fromStdString(music.hostRoot() + "/Нет такого.m3u"));
    click(window->BNext);
    EXPECT_EQ(window->PCL->currentWidget(), window->TS2);
    EXPECT_EQ(prompts.messages.back(),
              "Плейлист \"" + music.hostRoot() +
                  "/Нет такого.m3u\" не найден. Выберите существующий файл плейлиста.");
    EXPECT_TRUE(focusedOn(*window, window->cbSource1));
    EXPECT_EQ(window->cbSource1->count(), 0);

    typeInto(window->cbSource1, QString::fromStdString(music.hostRoot() + "/Сборник.m3u"));
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    const std::string file = music.hostRoot() + "/Отчёт.txt";
    const struct {
        std::string typed;
        std::string message;
    } refused[] = {
        {file, "\"" + file + "\" - файл, а не папка. Выберите папку приемника."},
        {file + "/Музыка",
         "Папку \"" + file + "/Музыка\" нельзя создать: \"" + file + "\" - файл, а не папка."},
        {"C:\\Музыка", "Диск C: не подключён. Выберите папку на подключённом диске."},
        {"Музыка", "Укажите полный путь к папке приемника (например, /media/stick/music), а не \"Музыка\"."},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.typed);
        typeInto(window->cbDest, QString::fromStdString(c.typed));
        click(window->BNext);
        EXPECT_EQ(window->PCL->currentWidget(), window->TS3);
        EXPECT_EQ(prompts.messages.back(), c.message);
        EXPECT_TRUE(focusedOn(*window, window->cbDest));
        EXPECT_EQ(window->cbDest->count(), 0) << "a refused path in the history";
    }
    snapshot(*window, "12-destination-refused");
    EXPECT_EQ(window->cbSource1->count(), 1);
}

// An aborted run does not look like a success: the summary says Прервано in the error colour
// and counts the entries it never started, the bars stay where it stopped, and skip is off.
TEST_F(WizardEndToEnd, AbortedRunSaysSoAndCountsWhatItNeverStarted) {
    for (int i = 1; i <= 3; ++i) {
        music.writeFile("Большие/" + std::to_string(i) + ".mp3", std::string(8 << 20, char('0' + i)));
    }
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click(window->StaticText1);
    click(window->RadioButton2);
    typeInto(window->cbSource2, QString::fromStdString(music.hostRoot() + "/Большие"));
    click(window->BNext);
    typeInto(window->cbDest, QString::fromStdString(music.hostRoot() + "/Копии"));
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);
    window->RadioGroup1->setItemIndex(copy::TransferOwnCopy);

    // The abort button is clicked as the second file starts, as a person would click it.
    bool clicked = false;
    QObject::connect(window->Memo1, &QPlainTextEdit::textChanged, window.get(), [&] {
        if (!clicked && window->Memo1->toPlainText().contains(QStringLiteral("/2.mp3 ..."))) {
            clicked = true;
            EXPECT_EQ(window->Button4->text(), QStringLiteral("Прервать"));
            QTest::mouseClick(window->Button4, Qt::LeftButton);
        }
    });
    click(window->BNext);
    ASSERT_TRUE(clicked);
    const std::string summary = window->Label12->text().toStdString();
    EXPECT_EQ(summary, "Прервано. Скопировано: 1, пропущено: 1, с ошибками: 0, не найдено: 0, не начато: 1");
    EXPECT_TRUE(window->Label12->styleSheet().contains(QStringLiteral("#c00000")))
        << window->Label12->styleSheet().toStdString();
    EXPECT_LT(window->ProgressBar1->value(), window->ProgressBar1->maximum());
    EXPECT_FALSE(window->Button5->isEnabled());
    EXPECT_EQ(window->Button4->text(), QStringLiteral("Выход"));
    EXPECT_EQ(testsupport::filesUnder(music, "Копии"), (Lines{"Большие/", "Большие/1.mp3"}));
    snapshot(*window, "13-progress-aborted");
}

// The dialogs as Qt shows them, with the program's own prompts: the media picker lists the WAV
// and Ogg files of a folder beside the MP3 (and no text file), and it and a question speak
// Russian, under the program's name.
TEST_F(WizardEndToEnd, RealDialogsSpeakRussianAndThePickerShowsEveryAudioFile) {
    for (const char* name : {"Диск/a.mp3", "Диск/b.wav", "Диск/c.ogg", "Диск/notes.txt"}) {
        music.writeFile(name, "x");
    }
    app::WindowSetup setup;
    setup.settingsPath = settingsPath();
    setup.links = &links;
    app::TForm1 window(setup); // prompts left out: Qt's dialogs
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    click(window.StaticText1);

    QStringList listed, buttons;
    QString title;
    bool seen = false;
    QTimer::singleShot(200, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->setDirectory(QString::fromStdString(music.hostPath("Диск")));
        QTest::qWait(500); // the dialog lists the folder on a thread of its own
        for (const QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
            if (view->isVisible() && view->model() != nullptr) {
                const QModelIndex root = view->rootIndex();
                for (int row = 0; row < view->model()->rowCount(root); ++row) {
                    listed << view->model()->index(row, 0, root).data().toString();
                }
            }
        }
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
            buttons << button->text();
        }
        const QPixmap shot = dialog->grab();
        EXPECT_TRUE(shot.save(QStringLiteral(TW_SCREENSHOT_DIR "/14-picker-russian.png")));
        seen = true;
        dialog->reject();
    });
    click(window.BitBtn5);
    ASSERT_TRUE(seen);
    for (const char* name : {"a.mp3", "b.wav", "c.ogg"}) {
        EXPECT_TRUE(listed.contains(QString::fromLatin1(name)))
            << name << ": " << listed.join('|').toStdString();
    }
    EXPECT_FALSE(listed.contains(QStringLiteral("notes.txt")));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Открыть")) || buttons.contains(QStringLiteral("Открыть")))
        << buttons.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Отмена"))) << buttons.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(title.contains(QStringLiteral("Tunewagon"))) << title.toStdString();

    QStringList answers;
    QString boxTitle;
    QTimer::singleShot(200, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        boxTitle = box->windowTitle();
        for (const QAbstractButton* button : box->buttons()) {
            answers << button->text().remove(QLatin1Char('&'));
        }
        EXPECT_TRUE(box->grab().save(QStringLiteral(TW_SCREENSHOT_DIR "/15-question-russian.png")));
        box->button(QMessageBox::No)->click();
    });
    app::QtUserPrompts prompts(&window);
    EXPECT_FALSE(prompts.askYesNo("Открыть плейлист?"));
    answers.sort();
    EXPECT_EQ(answers, (QStringList{"Да", "Нет"}));
    EXPECT_TRUE(boxTitle.contains(QStringLiteral("Tunewagon"))) << boxTitle.toStdString();
}

// The keys of a wizard: Return on the source page leads to the destination page, Delete in the
// preview removes the selected rows, Ctrl+A selects them all, and Escape never closes the window.
TEST_F(WizardEndToEnd, ReturnGoesOnAndDeleteRemovesRows) {
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click(window->StaticText1);
    typeInto(window->cbSource1, QString::fromStdString(music.hostRoot() + "/Сборник.m3u"));
    QTest::keyClick(window->cbSource1->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    typeInto(window->cbDest, QString::fromStdString(music.hostRoot() + "/Копии"));
    QTest::keyClick(window->cbDest->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4)
        << window->PCL->currentWidget()->objectName().toStdString() << " "
        << testing::PrintToString(prompts.messages);
    ASSERT_EQ(previewRows(*window).size(), 3u);
    clickRow(*window, 1, Qt::NoModifier);
    window->ListView1->setFocus();
    QTest::keyClick(window->ListView1, Qt::Key_Delete);
    EXPECT_EQ(previewRows(*window).size(), 2u);
    EXPECT_EQ(listEntries(*window).size(), 2u);
    QTest::keyClick(window->ListView1, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window->ListView1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window->ListView1, Qt::Key_Delete);
    EXPECT_TRUE(previewRows(*window).empty());
}

} // namespace
} // namespace apptest
