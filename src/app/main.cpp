// The wizard program: one window. Paths on the command line (what a file manager's "Open
// with" passes: a playlist, a folder or media files) start it on the source page with that
// source chosen; without them it starts on the start page. It runs until the window closes, whether by
// its own buttons, a signal from outside or the end of the desktop session; each way asks
// the close guard first and saves the settings on the way out.
#include "app/main_window.h"
#include "app/termination_requests.h"
#include "app/translations.h"
#include "platform/process_setup.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("tunewagon " TW_VERSION "\n", stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs("Использование: tunewagon [ПЛЕЙЛИСТ.m3u | ПАПКА | ФАЙЛ...]\n"
                   "Открывает окно мастера; с плейлистом, папкой или файлами начинает со страницы\n"
                   "источника, где этот источник уже выбран.\n",
                   stdout);
        return 0;
    }
    platform::treatFileSizeLimitAsFullDisk();
    QApplication application(argc, argv);
    app::prepareApplication(application);
    app::TerminationRequests termination;
    app::TForm1 window;

    QObject::connect(&termination, &app::TerminationRequests::requested, &window, &QWidget::close);
    // At logout the session may end only when the window agrees to close; a copy run in
    // progress cancels the logout where the session manager lets us ask.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager& manager) {
                         if (!window.closed() && !window.close() && manager.allowsInteraction()) {
                             manager.cancel();
                         }
                     });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, [&window] {
        if (!window.closed()) {
            window.close();
        }
    });

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::vector<std::string> paths;
    for (const QString& argument : arguments) {
        paths.push_back(argument.toStdString());
    }
    window.openWithSource(paths);
    window.show();
    return application.exec();
}
