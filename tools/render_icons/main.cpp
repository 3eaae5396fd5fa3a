// tunewagon-render-icons OUTDIR: the program's icon as PNG files in the sizes of the desktop's
// icon theme, laid out as OUTDIR/hicolor/<n>x<n>/apps/tunewagon.png for installation. The
// picture is the window's own header icon, drawn headless.
#include "app/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: tunewagon-render-icons OUTDIR\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) ||
            !app::headerIcon(size).save(folder + QStringLiteral("/tunewagon.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon into %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
