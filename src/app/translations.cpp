#include "app/translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

bool prepareApplication(QApplication& application) {
    QApplication::setApplicationDisplayName(QStringLiteral("Tunewagon"));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(&application);
    const bool loaded =
        translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    return loaded;
}

} // namespace app
