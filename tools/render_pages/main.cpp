// tunewagon-render-pages OUTDIR: builds the wizard window offscreen, as it stands after a first
// start, and saves each page with its header and footer to OUTDIR/<page>.png, so that anyone
// can look at what a person sees; then the preview and progress pages once more with example
// content, as <page>-example.png. Writes no settings.
#include "app/main_window.h"
#include "app/widgets.h"
#include "platform/drives.h"
#include "texts/text_table.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

QString text(int row) {
    return QString::fromStdString(texts::GetText(row));
}

// Example content on the preview and progress pages, as a run would show it, so that the
// review sees the columns, the limit bar and the status labels with texts of a real length.
void fillExamples(app::TForm1& window) {
    const char* rows[][3] = {
        {"Ансамбль - Длинное название первой песни", "D:\\Музыка\\Ансамбль\\01 - Первая.mp3",
         "E:\\Сборник\\Ансамбль\\01 Ансамбль - Длинное название первой песни.mp3"},
        {"", "D:\\Музыка\\Разное\\track02.mp3", "E:\\Сборник\\Разное\\track02.mp3"},
    };
    for (const auto& row : rows) {
        window.ListView1->addTopLevelItem(new QTreeWidgetItem(
            {QString::fromUtf8(row[0]), QString::fromUtf8(row[1]), QString::fromUtf8(row[2])}));
    }
    window.LimitBar->setVisible(true);
    QPalette palette = window.LimitBar->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.LimitBar->setPalette(palette);
    window.LimitBarShape->setFixedWidth(window.LimitBar->contentsRect().width() / 2);
    window.Label4->setText(QStringLiteral("50%  -  350 Мб/700 Мб"));
    window.mps->setText(QStringLiteral("Playing> 0:12 / 1:05"));

    window.Label12->setText(text(137));
    window.ProgressBar1->setValue(400);
    window.ProgressBar2->setValue(700);
    window.Label16->setText(QStringLiteral("2,5 Mb/s"));
    window.Label14->setText(QStringLiteral("1999 Мб / 4700 Мб"));
    window.Label15->setText(QStringLiteral("0:03:05 - 0:06:10"));
    for (const std::string& line :
         {texts::FormatText(125, {int32_t{2}}), texts::FormatText(126, {std::string("700 Мб")}),
          texts::FormatText(141, {std::string("E:\\Сборник\\Ансамбль\\01 Ансамбль - Первая.mp3")})}) {
        window.Memo1->appendPlainText(QString::fromStdString(line));
    }
}

bool savePage(app::TForm1& window, QWidget* page, const QString& file) {
    window.PCL->setCurrentWidget(page);
    window.UpdateWizardButtons();
    QApplication::processEvents();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tunewagon-render-pages OUTDIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }

    // An empty settings folder, so the pages show the defaults of a first start.
    QTemporaryDir settingsFolder;
    app::WindowSetup setup;
    setup.settingsPath = platform::toProgramPath((settingsFolder.path() + "/conf.fdb").toStdString());
    app::TForm1 window(setup);
    window.show();

    int failures = 0;
    for (int i = 0; i < window.PCL->count(); ++i) {
        QWidget* page = window.PCL->widget(i);
        failures += savePage(window, page, QDir(outDir).filePath(page->objectName() + ".png")) ? 0 : 1;
    }
    fillExamples(window);
    for (QWidget* page : {static_cast<QWidget*>(window.TS4), static_cast<QWidget*>(window.TSP)}) {
        failures +=
            savePage(window, page, QDir(outDir).filePath(page->objectName() + "-example.png")) ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
