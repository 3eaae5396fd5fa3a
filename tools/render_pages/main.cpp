// tunewagon-render-pages OUTDIR: builds the wizard window offscreen, as it stands after a first
// start, and saves each page with its header and footer to OUTDIR/<page>.png, so that anyone
// can look at what a person sees. Then, on a small library that it makes in a temporary folder
// mounted as drive D: (a playlist of five entries), the preview page with the list that the
// window builds (TS4-example.png), the progress page after a real copy run of that list
// (TSP-run.png), and the progress page once more with example bars and status labels of a
// long run (TSP-example.png). No message box waits for a click; no settings are written.
#include "app/main_window.h"
#include "app/unattended_prompts.h"
#include "app/widgets.h"
#include "platform/drives.h"
#include "texts/text_table.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Five tracks in two album folders and a playlist that describes four of them.
bool makeLibrary(const QString& root) {
    const char* const files[] = {
        "Музыка/Ансамбль/Первый альбом/01 - Первая.mp3",
        "Музыка/Ансамбль/Первый альбом/02 - Вторая.mp3",
        "Музыка/Ансамбль/Первый альбом/03 - Третья.mp3",
        "Музыка/Разное/track04.mp3",
        "Музыка/Разное/Очень длинное название пятой песни из сборника.mp3",
    };
    int size = 40000;
    for (const char* name : files) {
        const QString path = root + "/" + QString::fromUtf8(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'x')) != size) {
            return false;
        }
        size += 25000;
    }
    QFile playlist(root + "/Сборник.m3u");
    const char* const text = "#EXTM3U\r\n"
                             "#EXTINF:215,Ансамбль - Длинное название первой песни\r\n"
                             "Музыка\\Ансамбль\\Первый альбом\\01 - Первая.mp3\r\n"
                             "#EXTINF:187,Ансамбль - Вторая\r\n"
                             "Музыка\\Ансамбль\\Первый альбом\\02 - Вторая.mp3\r\n"
                             "#EXTINF:240,Ансамбль - Третья\r\n"
                             "Музыка\\Ансамбль\\Первый альбом\\03 - Третья.mp3\r\n"
                             "Музыка\\Разное\\track04.mp3\r\n"
                             "#EXTINF:301,Сборник - Очень длинное название пятой песни\r\n"
                             "Музыка\\Разное\\Очень длинное название пятой песни из сборника.mp3\r\n";
    return playlist.open(QIODevice::WriteOnly) && playlist.write(text) == qint64(qstrlen(text));
}

// The window's own work on the library: the list built and shown, then copied.
void buildAndCopy(app::TForm1& window) {
    window.SetSourceKind(1);
    window.cbSource1->setEditText(QStringLiteral("D:\\Сборник.m3u"));
    window.cbDest->setEditText(QStringLiteral("D:\\Копии"));
    window.FillPreviewList();
    window.CopyRun();
}

// What the preview's limit bar and a long run's status labels show, with texts of a real
// length, so that the review sees that they fit.
void fillExamples(app::TForm1& window) {
    window.LimitBar->setVisible(true);
    QPalette palette = window.LimitBar->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.LimitBar->setPalette(palette);
    window.LimitBarShape->setFixedWidth(window.LimitBar->contentsRect().width() / 2);
    window.Label4->setText(QStringLiteral("50%  -  350 Мб/700 Мб"));
    window.mps->setText(QStringLiteral("Playing> 0:12 / 1:05"));
}

void fillRunExamples(app::TForm1& window) {
    window.Label12->setText(QString::fromStdString(texts::GetText(137)));
    window.ProgressBar1->setValue(400);
    window.ProgressBar2->setValue(700);
    window.Label16->setText(QStringLiteral("2,5 Mb/s"));
    window.Label14->setText(QStringLiteral("1999 Мб / 4700 Мб"));
    window.Label15->setText(QStringLiteral("0:03:05 - 0:06:10"));
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
    QTemporaryDir library;
    if (!settingsFolder.isValid() || !library.isValid() || !makeLibrary(library.path())) {
        std::fprintf(stderr, "cannot make the example library\n");
        return 1;
    }
    app::UnattendedPrompts prompts;
    app::WindowSetup setup;
    setup.settingsPath = platform::toProgramPath((settingsFolder.path() + "/conf.fdb").toStdString());
    setup.prompts = &prompts;
    app::TForm1 window(setup);
    window.show();

    int failures = 0;
    const auto save = [&](QWidget* page, const QString& suffix) {
        failures +=
            savePage(window, page, QDir(outDir).filePath(page->objectName() + suffix + ".png")) ? 0 : 1;
    };
    for (int i = 0; i < window.PCL->count(); ++i) {
        save(window.PCL->widget(i), "");
    }

    platform::mountDrive('D', library.path().toStdString());
    window.PCL->setCurrentWidget(window.TSP);
    buildAndCopy(window);
    fillExamples(window);
    save(window.TS4, "-example");
    save(window.TSP, "-run");
    fillRunExamples(window);
    save(window.TSP, "-example");
    platform::unmountDrive('D');
    return failures == 0 ? 0 : 1;
}
