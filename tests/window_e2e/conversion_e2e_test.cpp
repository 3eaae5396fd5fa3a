// A folder of FLAC files copied as MP3 in the real window on a real X server: the folder chosen,
// the conversion set on the destination page (an own list of formats that cannot be read
// refused first), the preview, and the run with two conversions at once. Checks the files on
// disk (MP3s of the sources' length, no FLAC and nothing half-written left), the log and the
// verdict, and saves a PNG of the destination page, the preview, the run and its end.
#include "window_fixture.h"
#include "window_steps.h"
#include "xvfb_server.h"

#include "app/track_list_model.h"
#include "app/widgets.h"
#include "convert/converter.h"
#include "support/file_checks.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

// The album: file name, title; the artist is the same for all. About 1.5 s of sound each.
const std::pair<const char*, const char*> Tracks[] = {
    {"01 Первая", "Первая"}, {"02 Вторая", "Вторая"}, {"03 Третья", "Третья"}, {"04 Четвёртая", "Четвёртая"}};

class ConversionEndToEnd : public WindowTest {
protected:
    // The X server stays for the program's life: the application keeps its connection.
    static void SetUpTestSuite() { xvfb = std::make_unique<e2e::XvfbServer>(); }

    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QDir().mkpath(QStringLiteral(TW_SCREENSHOT_DIR));
        music.makeFolder("Альбом");
        int frequency = 330;
        for (const auto& [file, title] : Tracks) {
            const std::string command =
                "gst-launch-1.0 -q audiotestsrc num-buffers=65 freq=" + std::to_string(frequency) +
                " ! audioconvert ! taginject 'tags=artist=\"Ансамбль\",title=\"" + title +
                "\"' ! flacenc ! filesink location='" +
                music.hostPath(std::string("Альбом/") + file + ".flac") + "' >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            frequency += 110;
        }
    }

    void snapshot(app::TForm1& window, const char* name) {
        e2e::saveWindowShot(window, QString::fromLatin1(name));
    }

    static void click(QWidget* control) { e2e::clickAsPerson(control); }

    // Picks the item with `text` from a list that a person can reach.
    static void choose(QComboBox* box, const QString& text) {
        ASSERT_TRUE(box->isVisible() && box->isEnabled()) << box->objectName().toStdString();
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setFocus();
        box->setCurrentIndex(index);
    }

    static void typeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar character : text) {
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character), Qt::NoModifier);
        }
    }

    static std::unique_ptr<e2e::XvfbServer> xvfb;
    testsupport::TempDrive music{'D'};
};

std::unique_ptr<e2e::XvfbServer> ConversionEndToEnd::xvfb;

TEST_F(ConversionEndToEnd, FlacFolderCopiedAsMp3WithTwoWorkers) {
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click(window->StaticText1);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS2);
    click(window->RadioButton2);
    prompts.folderPicks = {"D:\\Альбом"};
    click(window->BitBtn4);
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    prompts.folderPicks = {"D:\\Плеер"};
    click(window->BitBtn2);

    // The group waits for a format; the page scrolls to it where the screen is small.
    window->findChild<QScrollArea*>(QStringLiteral("PageArea"))->ensureWidgetVisible(window->GroupConvert);
    for (QWidget* control : std::initializer_list<QWidget*>{window->cbConvertQuality, window->cbConvertWhich,
                                                            window->cbConvertDevice, window->seConvertJobs}) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }
    choose(window->cbConvert, QStringLiteral("MP3"));
    EXPECT_EQ(window->cbConvertQuality->currentText(), QStringLiteral("VBR V2"));

    // An own list of formats that cannot be read is marked and keeps the page.
    choose(window->cbConvertWhich, QStringLiteral("только то, что устройство не играет"));
    choose(window->cbConvertDevice, QStringLiteral("Свои форматы"));
    typeInto(window->edConvertFormats, QStringLiteral("mp3, m4a/x"));
    EXPECT_TRUE(window->LabelConvertProblem->isVisible());
    QTest::qWait(20);
    window->findChild<QScrollArea*>(QStringLiteral("PageArea"))
        ->ensureWidgetVisible(window->LabelConvertProblem);
    snapshot(*window, "conversion-01-own-formats-refused");
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS3);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages.front().starts_with("Неверный список форматов устройства: \"mp3, m4a/x\"."));

    // Everything to MP3, two at once.
    choose(window->cbConvertWhich, QStringLiteral("всё"));
    EXPECT_FALSE(window->LabelConvertProblem->isVisible());
    EXPECT_FALSE(window->cbConvertDevice->isEnabled());
    window->seConvertJobs->setValue(2);
    const unsigned workers = static_cast<unsigned>(window->seConvertJobs->value());
    EXPECT_EQ(workers, std::min(2u, static_cast<unsigned>(std::max(1, QThread::idealThreadCount()))));
    snapshot(*window, "conversion-02-destination");
    EXPECT_EQ(window->copyOptionsFromControls().Conversion,
              (convert::ConversionChoice{.format = convert::ConvertFormat{}, .jobs = workers}));

    // The preview: the tags describe the rows, each goes to an MP3 and says it is converted.
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TS4);
    Lines expectedRows;
    for (const auto& [file, title] : Tracks) {
        expectedRows.push_back(std::string("Ансамбль - ") + title + " | $D/Альбом/" + file +
                               ".flac | $D/Плеер/Альбом/" + file + ".mp3");
    }
    EXPECT_EQ(previewRows(*window), testsupport::withHostRoot(expectedRows, music));
    for (int row = 0; row < window->PreviewRows->rowCount(); ++row) {
        EXPECT_NE(window->PreviewRows->index(row, app::TrackListModel::StateColumn)
                      .data()
                      .toString()
                      .indexOf(QStringLiteral("будет преобразован в MP3")),
                  -1)
            << row;
    }
    snapshot(*window, "conversion-03-preview");

    // The run, seen once while it converts.
    bool seenRunning = false;
    QObject::connect(window->Memo1, &QPlainTextEdit::textChanged, window->Memo1, [&] {
        if (!seenRunning && window->Memo1->toPlainText().contains(QStringLiteral("Преобразование -> "))) {
            seenRunning = true;
            window->repaint();
            snapshot(*window, "conversion-04-running");
        }
    });
    click(window->BNext);
    ASSERT_EQ(window->PCL->currentWidget(), window->TSP);
    EXPECT_TRUE(seenRunning);
    snapshot(*window, "conversion-05-finished");

    // The source folder's name is kept as the one folder level.
    Lines expectedFiles{"_playlist_.m3u", "Альбом/"};
    for (const auto& [file, title] : Tracks) {
        expectedFiles.push_back(std::string("Альбом/") + file + ".mp3");
    }
    EXPECT_EQ(testsupport::filesUnder(music, "Плеер"), expectedFiles);
    for (const auto& [file, title] : Tracks) {
        const std::optional<int64_t> source =
            convert::mediaLengthMs(music.hostPath(std::string("Альбом/") + file + ".flac"));
        const std::optional<int64_t> copy =
            convert::mediaLengthMs(music.hostPath(std::string("Плеер/Альбом/") + file + ".mp3"));
        ASSERT_TRUE(source.has_value()) << file;
        ASSERT_TRUE(copy.has_value()) << file;
        EXPECT_NEAR(static_cast<double>(*copy), static_cast<double>(*source), 150.0) << file;
    }
    const std::string log = window->Memo1->toPlainText().toStdString();
    for (const auto& [file, title] : Tracks) {
        EXPECT_NE(
            log.find("Преобразование -> " + music.hostPath(std::string("Плеер/Альбом/") + file + ".mp3")),
            std::string::npos)
            << file;
    }
    EXPECT_NE(window->Label12->text().indexOf(QStringLiteral("с ошибками: 0")), -1)
        << window->Label12->text().toStdString();
    EXPECT_TRUE(window->Label12->styleSheet().contains(QStringLiteral("#1b7a1b")));
    EXPECT_TRUE(prompts.errors.empty());
}

} // namespace
} // namespace apptest
