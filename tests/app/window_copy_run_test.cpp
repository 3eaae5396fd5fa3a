// The copy run driven from the window, headless: the options read from the controls, the log
// in Memo1, the bars and labels of the progress page, the message boxes and the question, the
// skip and abort buttons pressed while the run works, and the files on disk afterwards.
#include "window_fixture.h"

#include "app/widgets.h"
#include "store/track_list.h"
#include "support/file_checks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>

#include <filesystem>
#include <stdexcept>

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

Lines logOf(const app::TForm1& window) {
    Lines lines;
    const QString text = window.Memo1->toPlainText();
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        lines.push_back(line.toStdString());
    }
    return lines;
}

enum class Press { None, Skip, Abort };

struct WindowRun {
    const char* name;
    int transferMode;   // RadioGroup1
    int existAction;    // cbExistAction
    const char* dest;   // cbDest
    Press press;        // pressed once the log ends with the transfer line of b.mp3
    Lines logAfterScan; // the log from the folder lines on
    std::vector<std::string> filesAfter;
};

void PrintTo(const WindowRun& run, std::ostream* os) {
    *os << run.name;
}

const char* const ScanLines[] = {"Сканирование файлов списка ... ", " Файлов: 3", " Общий размер: 60 байт",
                                 ""};
const char* const CopyB = "  Копирование -> $D/out/b.mp3 ...";

const WindowRun Runs[] = {
    {"complete copy",
     1,
     1,
     "D:\\out",
     Press::None,
     {"Создание папок:", "Создание папки \"$D/out\"", "Копирование:", "  Копирование -> $D/out/a.mp3 ...",
      CopyB, "  Копирование -> $D/out/c.mp3 ...", "", "Копирование завершено.",
      "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...",
      "Скопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0"},
     {"music/", "music/a.mp3", "music/b.mp3", "music/c.mp3", "out/", "out/_playlist_.m3u", "out/a.mp3",
      "out/b.mp3", "out/c.mp3"}},
    {"skip during the second file",
     1,
     1,
     "D:\\out",
     Press::Skip,
     {"Создание папок:", "Создание папки \"$D/out\"", "Копирование:", "  Копирование -> $D/out/a.mp3 ...",
      CopyB, "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: операция прервана",
      " Пропущено пользователем.", "  Копирование -> $D/out/c.mp3 ...", "", "Копирование завершено.",
      "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...",
      "Скопировано: 2, пропущено: 1, с ошибками: 0, не найдено: 0"},
     {"music/", "music/a.mp3", "music/b.mp3", "music/c.mp3", "out/", "out/_playlist_.m3u", "out/a.mp3",
      "out/c.mp3"}},
    {"abort during the second file",
     1,
     1,
     "D:\\out",
     Press::Abort,
     {"Создание папок:", "Создание папки \"$D/out\"", "Копирование:", "  Копирование -> $D/out/a.mp3 ...",
      CopyB, "Внешняя ошибка Tunewagon:Copy(system):1 - ошибка при копировании: операция прервана", "",
      "Копирование перервано пользователем и не завершено.",
      "Прервано. Скопировано: 1, пропущено: 1, с ошибками: 0, не найдено: 0, не начато: 1"},
     {"music/", "music/a.mp3", "music/b.mp3", "music/c.mp3", "out/", "out/a.mp3"}},
    {"move, an existing destination skipped",
     2,
     2,
     "D:\\out",
     Press::None,
     {"Создание папок:", "Создание папки \"$D/out\"", "Перемещение:", "  Перемещение -> $D/out/a.mp3 ...",
      "  Файл \"b.mp3\" уже существует: пропуск файла", "  Перемещение -> $D/out/c.mp3 ...", "",
      "Копирование завершено.", "Сохранение нового плейлиста: \"$D/out/_playlist_.m3u\" ...",
      "Перемещено: 2, пропущено: 1, с ошибками: 0, не найдено: 0"},
     {"music/", "music/b.mp3", "out/", "out/_playlist_.m3u", "out/a.mp3", "out/b.mp3", "out/c.mp3"}},
};

class RunningWindowTest : public WindowTest {
protected:
    // Three sources of 10, 20 and 30 bytes in D:\music, listed for D:\out in the track list.
    void prepareList(app::TForm1& window) {
        for (const auto& [name, size] : {std::pair{"a.mp3", 10}, {"b.mp3", 20}, {"c.mp3", 30}}) {
            music.writeFile(std::string("music/") + name, testsupport::patternBytes(size, size));
            store::TrackEntry entry;
            entry.OrigFileName = music.programPath(std::string("music\\") + name);
            entry.FileName = music.programPath(std::string("out\\") + name);
            ASSERT_LE(store::appendTrackEntry(*window.ListDb, entry), 0);
        }
    }

    // Presses the button from the window's event loop once the log ends with `line`, as a
    // person would while the run processes the window's messages.
    void pressWhenLogged(app::TForm1& window, const std::string& line, QPushButton* button) {
        QObject::connect(window.Memo1, &QPlainTextEdit::textChanged, window.Memo1, [&window, line, button] {
            if (window.Memo1->document()->lastBlock().text().toStdString() == line) {
                QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
            }
        });
    }

    testsupport::TempDrive music{'D'};
};

class WindowCopyRunTest : public RunningWindowTest, public ::testing::WithParamInterface<WindowRun> {};

// Closing the window while a run works asks first: No lets the run finish and the window stay,
// Yes aborts the run and the window closes once the run has ended.
TEST_F(RunningWindowTest, ClosingDuringARunAsksFirst) {
    for (bool abort : {false, true}) {
        SCOPED_TRACE(abort ? "Yes" : "No");
        std::filesystem::remove_all(music.hostPath("out"));
        auto window = startWindow();
        prepareList(*window);
        window->cbDest->setEditText(QStringLiteral("D:\\out"));
        QObject::connect(window->Memo1, &QPlainTextEdit::textChanged, window->Memo1, [&window, this] {
            if (window->Memo1->document()->lastBlock().text().toStdString() ==
                testsupport::withHostRoot(CopyB, music)) {
                QMetaObject::invokeMethod(window.get(), &QWidget::close, Qt::QueuedConnection);
            }
        });
        prompts.questions.clear();
        prompts.answers = {abort, false};

        window->CopyRun();
        QCoreApplication::processEvents();

        ASSERT_EQ(prompts.questions.size(), abort ? 1u : 2u); // without the abort: the playlist offer
        EXPECT_EQ(prompts.questions.front(), "Идёт копирование. Прервать его и закрыть программу?");
        EXPECT_EQ(window->closed(), abort);
        EXPECT_EQ(music.exists("out/c.mp3"), !abort);
        EXPECT_EQ(window->Label12->text().startsWith(QStringLiteral("Прервано.")), abort);
    }
}

TEST_P(WindowCopyRunTest, LogAndFilesOnDisk) {
    const WindowRun& run = GetParam();
    auto window = startWindow();
    prepareList(*window);
    window->RadioGroup1->setItemIndex(run.transferMode);
    window->cbExistAction->setCurrentIndex(run.existAction);
    window->cbDest->setEditText(QString::fromUtf8(run.dest));
    if (run.existAction == 2) {
        music.writeFile("out/b.mp3", "old");
    }
    if (run.press != Press::None) {
        pressWhenLogged(*window, testsupport::withHostRoot(CopyB, music),
                        run.press == Press::Skip ? window->Button5 : window->Button4);
    }
    prompts.answers = {true};

    window->CopyRun();

    Lines expected(std::begin(ScanLines), std::end(ScanLines));
    expected.insert(expected.end(), run.logAfterScan.begin(), run.logAfterScan.end());
    EXPECT_EQ(logOf(*window), testsupport::withHostRoot(expected, music));
    EXPECT_EQ(testsupport::filesUnder(music), run.filesAfter);
    for (const auto& [name, size] : {std::pair{"a.mp3", 10}, {"b.mp3", 20}, {"c.mp3", 30}}) {
        const std::string copied = std::string("out/") + name;
        if (music.exists(copied) && !(run.existAction == 2 && copied == "out/b.mp3")) {
            EXPECT_EQ(music.readFile(copied), testsupport::patternBytes(size, size)) << name;
        }
    }
    if (run.existAction == 2) {
        EXPECT_EQ(music.readFile("out/b.mp3"), "old");
    }
    EXPECT_FALSE(window->Shell.WorkActive);
    EXPECT_TRUE(window->Shell.RunIdle);
    EXPECT_EQ(window->Shell.CopyCancelCell, -1);
    // Full bars and the title in the colour of a clean run, unless the run was aborted: then
    // the bars stay where it stopped and the verdict is in the error colour.
    const bool aborted = run.press == Press::Abort;
    EXPECT_EQ(window->ProgressBar1->value() == 1000, !aborted);
    EXPECT_EQ(window->ProgressBar2->value() == 1000, !aborted);
    EXPECT_EQ(window->Label12->text().toStdString(),
              testsupport::withHostRoot(run.logAfterScan.back(), music));
    EXPECT_TRUE(window->Label12->styleSheet().contains(aborted ? QStringLiteral("#c00000")
                                                               : QStringLiteral("#1b7a1b")));
    EXPECT_FALSE(window->Button5->isEnabled()) << "skip after the run";
    for (const QLabel* status : {window->Label14, window->Label15, window->Label16}) {
        EXPECT_TRUE(status->text().isEmpty());
    }
    if (run.press == Press::Abort) {
        EXPECT_TRUE(prompts.questions.empty());
        EXPECT_TRUE(links.opened.empty());
    } else {
        EXPECT_EQ(prompts.questions, Lines{"Открыть плейлист со скопированными файлами?"});
        EXPECT_EQ(links.opened, Lines{"file " + music.hostPath("out/_playlist_.m3u")});
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, WindowCopyRunTest, ::testing::ValuesIn(Runs),
                         [](const ::testing::TestParamInfo<WindowRun>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

using WindowVerdictTest = WindowCopyRunTest;

// A run in which an entry fails shows its verdict in red in the page's title, so that it cannot
// pass for a good run; the next run that copies everything shows its own in the clean colour.
TEST_F(WindowVerdictTest, FailedEntryTurnsTheSummaryRed) {
    auto window = startWindow();
    prepareList(*window);
    window->cbDest->setEditText(QStringLiteral("D:\\out"));
    music.makeFolder("out/b.mp3"); // a folder where b.mp3 goes: its copy fails
    prompts.answers = {false, false};
    window->CopyRun();
    EXPECT_EQ(window->Label12->text().toStdString(),
              "Скопировано: 2, пропущено: 0, с ошибками: 1, не найдено: 0");
    EXPECT_TRUE(window->Label12->styleSheet().contains(QStringLiteral("#c00000")));

    ::rmdir(music.hostPath("out/b.mp3").c_str());
    window->CopyRun();
    EXPECT_EQ(window->Label12->text().toStdString(),
              "Скопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0");
    EXPECT_TRUE(window->Label12->styleSheet().contains(QStringLiteral("#1b7a1b")));
}

// A destination that names no drive is refused with its message box before anything is made;
// the run's options come from the controls, its messages through the window's prompts.
TEST_F(WindowTest, UnusableDestinationIsRefusedWithAMessage) {
    auto window = startWindow();
    window->cbDest->setEditText(QStringLiteral("\\\\server\\share"));
    window->CopyRun();
    EXPECT_EQ(prompts.messages, Lines{"Неверен путь!"});
    EXPECT_EQ(logOf(*window),
              Lines({"Сканирование файлов списка ... ", " Файлов: 0", " Общий размер: 0 байт", ""}));
    EXPECT_TRUE(window->Shell.RunIdle);
    EXPECT_FALSE(window->Shell.WorkActive);
}

// Prompts whose message box fails, as a stand-in for any failure inside a run.
class FailingPrompts : public RecordingPrompts {
public:
    void showMessage(const std::string& text) override { throw std::runtime_error(text); }
};

// A run that ends with an exception leaves the flags idle, so the window can still close.
TEST_F(WindowTest, RunEndedByAFailureLeavesTheWindowClosable) {
    FailingPrompts failing;
    app::WindowSetup setup;
    setup.settingsPath = settingsPath();
    setup.prompts = &failing;
    app::TForm1 window(setup);
    window.cbDest->setEditText(QStringLiteral("\\\\server\\share"));
    EXPECT_THROW(window.CopyRun(), std::runtime_error);
    EXPECT_FALSE(window.Shell.WorkActive);
    EXPECT_TRUE(window.Shell.RunIdle);
    EXPECT_TRUE(window.close());
}

} // namespace
} // namespace apptest
