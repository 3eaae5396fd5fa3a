// The application's setup before its window: Qt's own Russian translations, so that the file
// dialogs and the standard buttons of message boxes (Открыть, Отмена, Да, Нет) speak the
// interface's language whatever the system's locale, and the program's name as the title of
// its dialogs.
#pragma once

class QApplication;

namespace app {

// Loads qtbase_ru.qm from Qt's translations folder (QLibraryInfo::TranslationsPath; Debian's
// package qt6-translations-l10n); false when it is not there, and the dialogs then stay in
// Qt's English.
bool prepareApplication(QApplication& application);

} // namespace app
